// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot_area.h"

#include "ui/classic/classic_controls.h"

#include <QApplication>
#include <QCursor>
#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <cmath>
#include <initializer_list>

namespace {

// The classic mouse event's flags: bits 1, 2 and 4 for the first, second and third of `which`
// that `held` holds.
template<typename Flags, typename Flag>
short ClassicFlags(Flags held, std::initializer_list<Flag> which)
{
    short flags = 0;
    short bit = 1;
    for (const Flag flag : which) {
        if (held & flag)
            flags = static_cast<short>(flags | bit);
        bit = static_cast<short>(bit * 2);
    }
    return flags;
}

} // namespace

PlotArea::PlotArea(QWidget *parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    foreColor_ = palette().color(QPalette::ButtonText).rgb();
    AllocateImage();
}

QColor PlotArea::BackColor() const
{
    return palette().color(QPalette::Window);
}

void PlotArea::SetBackColor(const QColor &color)
{
    QPalette p = palette();
    p.setColor(QPalette::Window, color);
    setPalette(p);
    SetPicture(picture_);
}

QSize PlotArea::ImageSize() const
{
    return contentsRect().size().expandedTo(QSize(1, 1)) * devicePixelRatioF() * renderScale_;
}

void PlotArea::AllocateImage()
{
    const qreal ratio = devicePixelRatioF() * renderScale_;
    const QSize size = ImageSize();
    QImage image(size, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(BackColor());
    // Keep what was drawn when the box changes size or screen.
    if (!image_.isNull()) {
        QPainter painter(&image);
        painter.drawImage(QPoint(0, 0), image_);
    }
    image_ = image;
    UpdateMapping();
}

void PlotArea::UpdateMapping()
{
    mapping_ = {scale_[0], scale_[1], scale_[2], scale_[3], image_.width(), image_.height()};
    if (!scaleSet_) // pixels until a Scale is set
        mapping_ = {0,
                    0,
                    double(image_.width() - 1),
                    double(image_.height() - 1),
                    image_.width(),
                    image_.height()};
}

void PlotArea::Scale(float x1, float y1, float x2, float y2)
{
    // A hidden box gets its resize event only when shown; drawing must not wait for that.
    if (image_.size() != ImageSize())
        AllocateImage();
    scale_[0] = x1;
    scale_[1] = y1;
    scale_[2] = x2;
    scale_[3] = y2;
    scaleSet_ = true;
    UpdateMapping();
}

void PlotArea::Line(float x1, float y1, float x2, float y2)
{
    Line(x1, y1, x2, y2, foreColor_);
}

void PlotArea::Line(float x1, float y1, float x2, float y2, QRgb color)
{
    const PixelMapping &m = mapping_;
    RasterizeSegment(m.Column(x1), m.Row(y1), m.Column(x2), m.Row(y2), image_.width(),
                     [&](int column, std::int64_t low, std::int64_t high) {
                         FillColumn(column, low, high, color);
                     });
    update();
}

void PlotArea::SetLineWidth(int width)
{
    halfWidth_ = std::max(width, 1) / 2;
}

void PlotArea::SetStyle(const PlotStyle &style)
{
    renderScale_ = std::max(style.renderScale, 1);
    SetLineWidth(style.lineWidth);
    SetTextHeight(style.textPixels);
}

void PlotArea::SetTextHeight(int pixels)
{
    textPixels_ = std::max(pixels, 0);
}

QFont PlotArea::TextFont() const
{
    QFont font = ClassicFont(8.25, false);
    if (textPixels_ > 0)
        font.setPixelSize(textPixels_);
    return font;
}

void PlotArea::Print(float x, float y, const QString &text, QRgb color)
{
    QPainter painter(&image_);
    painter.setFont(TextFont());
    painter.setPen(QColor::fromRgb(color));
    const qreal ratio = image_.devicePixelRatio();
    painter.drawText(QPointF(std::floor(mapping_.Column(x) + 0.5) / ratio + 2,
                             (std::floor(mapping_.Row(y) + 0.5) - 1) / ratio),
                     text);
    update();
}

PlotArea::TextPixels PlotArea::PrintedAt(float x, float y, const QString &text) const
{
    const QFontMetricsF metrics(TextFont());
    const qreal ratio = image_.devicePixelRatio();
    const double left = std::floor(mapping_.Column(x) + 0.5) + 2 * ratio;
    const double baseline = std::floor(mapping_.Row(y) + 0.5) - 1;
    return {static_cast<int>(left),
            static_cast<int>(std::ceil(left + metrics.horizontalAdvance(text) * ratio)),
            baseline - metrics.ascent() * ratio, baseline + metrics.descent() * ratio};
}

void PlotArea::FillColumn(int column, std::int64_t lowRow, std::int64_t highRow, QRgb color)
{
    // A wide line lights the columns on both sides of its own, and as many rows more above and
    // below.
    const std::int64_t low = std::max<std::int64_t>(lowRow - halfWidth_, 0);
    const std::int64_t high = std::min<std::int64_t>(highRow + halfWidth_, image_.height() - 1);
    const qsizetype stride = image_.bytesPerLine() / qsizetype(sizeof(QRgb));
    const int first = std::max(column - halfWidth_, 0);
    const int last = std::min(column + halfWidth_, image_.width() - 1);
    for (int c = first; c <= last; ++c) {
        auto *pixel = reinterpret_cast<QRgb *>(image_.bits()) + low * stride + c;
        for (std::int64_t row = low; row <= high; ++row, pixel += stride)
            *pixel = color | 0xff000000u;
    }
}

void PlotArea::Fill(const ColumnSpans &spans, QRgb color)
{
    for (int c = 0; c < std::min(spans.Width(), image_.width()); ++c)
        if (!spans.Empty(c))
            FillColumn(c, spans.Low(c), spans.High(c), color);
    update();
}

void PlotArea::SetPicture(const QImage &picture)
{
    if (image_.size() != ImageSize())
        AllocateImage();
    picture_ = picture;
    image_.fill(BackColor());
    if (!picture_.isNull()) {
        QPainter painter(&image_);
        painter.drawImage(QPoint(0, 0), picture_);
    }
    update();
}

void PlotArea::RestoreDrawing(const QImage &drawing)
{
    if (image_.size() != ImageSize())
        AllocateImage();
    image_.fill(BackColor());
    QPainter painter(&image_);
    painter.drawImage(QPoint(0, 0), drawing);
    painter.end();
    update();
}

void PlotArea::SetToolTipText(const QString &text)
{
    tip_ = text;
    setToolTip(TipOf(text));
    // A tip already on screen follows the new text instead of waiting for the next rest.
    if (!QToolTip::isVisible() || !underMouse())
        return;
    // Qt moves a tip that is shown; on Wayland, where a popup stays where it was first placed,
    // that would leave the new reading far from the pointer. There the tip is closed and shown
    // anew at the pointer.
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        for (QWidget *window : QApplication::topLevelWidgets())
            if (window->windowType() == Qt::ToolTip && window->isVisible())
                window->hide();
    QToolTip::showText(QCursor::pos(), toolTip(), this);
}

QString PlotArea::TipOf(const QString &text) const
{
    // Large text in a tip of its own size.
    if (textPixels_ == 0)
        return text;
    return QStringLiteral("<p style=\"font-size:%1px; white-space:pre\">%2</p>")
        .arg(textPixels_)
        .arg(text.toHtmlEscaped().replace('\n', QStringLiteral("<br>")));
}

QPoint PlotArea::WidgetPoint(QPointF imagePixel) const
{
    return contentsRect().topLeft() + (imagePixel / image_.devicePixelRatio()).toPoint();
}

QPointF PlotArea::UserPoint(QPointF contentsPosition) const
{
    const qreal ratio = image_.devicePixelRatio();
    return {mapping_.UserX(contentsPosition.x() * ratio),
            mapping_.UserY(contentsPosition.y() * ratio)};
}

void PlotArea::paintEvent(QPaintEvent *event)
{
    // Moved to a screen of another pixel density: a new image at that density, so that what is
    // drawn from now on is sharp there.
    if (!qFuzzyCompare(devicePixelRatioF() * renderScale_, image_.devicePixelRatio()))
        AllocateImage();
    QFrame::paintEvent(event);
    QPainter painter(this);
    const QRect contents = contentsRect();
    const QRect exposed = event->rect() & contents;
    const qreal ratio = image_.devicePixelRatio();
    const QRect source((exposed.topLeft() - contents.topLeft()) * ratio, exposed.size() * ratio);
    painter.drawImage(exposed, image_, source);
}

void PlotArea::mouseMoveEvent(QMouseEvent *event)
{
    // The sunken border is not part of the drawing surface: a move over it reports nothing,
    // unless a button pressed over the box is held, which carries the readout beyond the plot.
    if (event->buttons() == Qt::NoButton && !contentsRect().contains(event->position().toPoint()))
        return;
    const QPointF user = UserPoint(event->position() - contentsRect().topLeft());
    const short button
        = ClassicFlags(event->buttons(), {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton});
    const short shift = ClassicFlags(event->modifiers(),
                                     {Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier});
    emit MouseMove(button, shift, static_cast<float>(user.x()), static_cast<float>(user.y()));
}

void PlotArea::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    AllocateImage();
}
