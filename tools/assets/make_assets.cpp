// Draws the input window's pulse-train diagram and the program's alarm-clock icon.

#include <QColor>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QPen>
#include <QPointF>
#include <QString>
#include <QTextStream>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>
#include <numbers>

namespace {

// ---------------------------------------------------------------- diagram

constexpr int kDiagramWidth = 854;
constexpr int kDiagramHeight = 320;
constexpr int kDiagramJpegQuality = 90;
constexpr QRgb kDiagramGround = qRgb(212, 208, 200);
constexpr QRgb kDiagramLine = qRgb(204, 0, 0);
constexpr QRgb kDiagramInk = qRgb(0, 0, 0);
constexpr double kDiagramLineWidth = 1.5;

constexpr double kBaseY = kDiagramHeight - 6.5; // the zero level, a few pixels above the bottom
constexpr double kCrestY = 36.5; // the peak, leaving room for the "Vmax" label above
constexpr double kTrainStartX = 44.0; // where the first pulse rises
constexpr double kPeriod = 259.0; // about the width divided by 3.3
constexpr double kPulseWidth = kPeriod / 4.0; // duty cycle of one quarter
constexpr int kPulseCount = 3;
constexpr int kPulseSegments = 64; // straight pieces per half-sine

constexpr double kScaleX = 14.5;
constexpr int kScaleTicks = 4;
constexpr double kScaleTickLength = 7.0;

constexpr int kLabelPixelSize = 15;
constexpr double kLabelGap = 5.0; // between a label and the point it names

// The pulse train: three half-sines standing on one base line.
QImage drawDiagram()
{
    QImage image(kDiagramWidth, kDiagramHeight, QImage::Format_RGB32);
    image.fill(kDiagramGround);

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    const double amplitude = kBaseY - kCrestY;
    const double trainEndX = kTrainStartX + kPulseCount * kPeriod;

    QPainterPath train;
    train.moveTo(kTrainStartX, kBaseY);
    for (int pulse = 0; pulse < kPulseCount; ++pulse) {
        const double riseX = kTrainStartX + pulse * kPeriod;
        train.lineTo(riseX, kBaseY);
        for (int i = 1; i <= kPulseSegments; ++i) {
            const double phase = std::numbers::pi * i / kPulseSegments;
            train.lineTo(riseX + kPulseWidth * i / kPulseSegments,
                         kBaseY - amplitude * std::sin(phase));
        }
    }
    train.lineTo(trainEndX, kBaseY);

    QPen linePen(QColor::fromRgb(kDiagramLine), kDiagramLineWidth);
    linePen.setJoinStyle(Qt::RoundJoin);
    linePen.setCapStyle(Qt::FlatCap);
    painter.setPen(linePen);
    painter.setBrush(Qt::NoBrush);
    // The base line runs from the scale to the right edge; the pulses stand on it.
    painter.drawLine(QPointF(kScaleX, kBaseY), QPointF(kDiagramWidth - 8.0, kBaseY));
    painter.drawPath(train);

    // The vertical scale on the left: a stem with four evenly spaced ticks up to the peak.
    QPen inkPen(QColor::fromRgb(kDiagramInk), 1.0);
    inkPen.setCapStyle(Qt::FlatCap);
    painter.setPen(inkPen);
    painter.drawLine(QPointF(kScaleX, kBaseY), QPointF(kScaleX, kCrestY));
    for (int tick = 1; tick <= kScaleTicks; ++tick) {
        const double y = kBaseY - amplitude * tick / kScaleTicks;
        painter.drawLine(QPointF(kScaleX - kScaleTickLength / 2.0, y),
                         QPointF(kScaleX + kScaleTickLength / 2.0, y));
    }

    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(kLabelPixelSize);
    font.setBold(true);
    painter.setFont(font);
    const QFontMetrics metrics(font);

    // "Vmax" centred over the crest of the first pulse.
    const QString vmax = QStringLiteral("Vmax");
    const double crestX = kTrainStartX + kPulseWidth / 2.0;
    painter.drawText(QPointF(crestX - metrics.horizontalAdvance(vmax) / 2.0, kCrestY - kLabelGap),
                     vmax);

    // "Ti" just right of the foot where the first pulse ends.
    const double labelBaseline = kBaseY - kLabelGap;
    painter.drawText(QPointF(kTrainStartX + kPulseWidth + kLabelGap, labelBaseline),
                     QStringLiteral("Ti"));

    // "T" just left of the foot where the second pulse begins.
    const QString period = QStringLiteral("T");
    painter.drawText(QPointF(kTrainStartX + kPeriod - kLabelGap - metrics.horizontalAdvance(period),
                             labelBaseline),
                     period);

    painter.end();
    return image;
}

// ---------------------------------------------------------------- icon
//
// All icon geometry is in units of the icon's side, with (0, 0) at the top left.

constexpr QRgb kCaseRed = qRgb(214, 28, 28);
constexpr QRgb kCaseEdge = qRgb(112, 0, 0);
constexpr QRgb kDialWhite = qRgb(255, 255, 255);
constexpr QRgb kHandBlack = qRgb(0, 0, 0);
constexpr QRgb kFootGrey = qRgb(64, 64, 64);

constexpr double kCaseX = 0.5;
constexpr double kCaseY = 0.55;
constexpr double kCaseRadius = 0.33;
constexpr double kEdgeWidth = 0.035;

constexpr double kBellAngle = 40.0; // degrees either side of twelve o'clock
constexpr double kBellDistance = 0.39; // from the case centre
constexpr double kBellRadius = 0.14;
constexpr double kKnobRadius = 0.05; // the hammer knob between the bells
constexpr double kKnobDistance = 0.41;

constexpr double kFootAngle = 140.0; // degrees either side of twelve o'clock
constexpr double kFootInner = 0.28;
constexpr double kFootOuter = 0.44;
constexpr double kFootWidth = 0.07;

constexpr double kDialRadius = 0.23;
constexpr double kMarkOuter = 0.215;
constexpr double kMarkInner = 0.16;
constexpr double kMarkWidth = 0.025;
constexpr double kHourHandAngle = 270.0; // nine o'clock
constexpr double kHourHandLength = 0.13;
constexpr double kHourHandWidth = 0.05;
constexpr double kMinuteHandAngle = 0.0; // on the hour
constexpr double kMinuteHandLength = 0.19;
constexpr double kMinuteHandWidth = 0.035;
constexpr double kHubRadius = 0.04;

constexpr int kSmallIconLimit = 24; // at or below this side: four hour marks, no knob
constexpr int kSmallIconMarks = 4;
constexpr int kIconMarks = 12;
constexpr int kSvgSide = 256;

// The point at `distance` from the case centre in the direction of a clock angle (degrees,
// clockwise from twelve o'clock).
QPointF onCase(double clockDegrees, double distance)
{
    const double radians = clockDegrees * std::numbers::pi / 180.0;
    return {kCaseX + distance * std::sin(radians), kCaseY - distance * std::cos(radians)};
}

int hourMarkCount(int side)
{
    return side <= kSmallIconLimit ? kSmallIconMarks : kIconMarks;
}

// A stroke width in pixels: never thinner than one pixel.
double strokePixels(double width, int side)
{
    return std::max(1.0, width * side);
}

// The alarm clock at `side` x `side` pixels on a transparent ground.
QImage drawIcon(int side)
{
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    // Shift by under half a pixel so the dial centre falls on a pixel centre: the small sizes then
    // draw crisp marks and hands.
    const auto toPixelCentre
        = [side](double units) { return std::floor(units * side) + 0.5 - units * side; };
    painter.translate(toPixelCentre(kCaseX), toPixelCentre(kCaseY));
    painter.scale(side, side);

    // Everything is filled rather than stroked, so one-pixel lines get the same exact coverage as
    // the discs around them.
    const auto line = [&painter, side](QPointF from, QPointF to, QRgb colour, double width,
                                       Qt::PenCapStyle cap) {
        QPainterPath path(from);
        path.lineTo(to);
        QPainterPathStroker stroker;
        stroker.setWidth(strokePixels(width, side) / side);
        stroker.setCapStyle(cap);
        painter.fillPath(stroker.createStroke(path), QColor::fromRgb(colour));
    };
    const auto disc = [&painter](QPointF centre, double radius, QRgb colour) {
        QPainterPath path;
        path.addEllipse(centre, radius, radius);
        painter.fillPath(path, QColor::fromRgb(colour));
    };
    const double edge = strokePixels(kEdgeWidth, side) / side;
    const auto redPart = [&](QPointF centre, double radius) {
        disc(centre, radius + edge / 2.0, kCaseEdge);
        disc(centre, radius - edge / 2.0, kCaseRed);
    };
    const QPointF centre(kCaseX, kCaseY);

    // Feet and bells first: the case covers their inner parts.
    for (const double angle : {-kFootAngle, kFootAngle}) {
        line(onCase(angle, kFootInner), onCase(angle, kFootOuter), kFootGrey, kFootWidth,
             Qt::RoundCap);
    }
    if (side > kSmallIconLimit) {
        redPart(onCase(0.0, kKnobDistance), kKnobRadius);
    }
    for (const double angle : {-kBellAngle, kBellAngle}) {
        redPart(onCase(angle, kBellDistance), kBellRadius);
    }
    redPart(centre, kCaseRadius);
    disc(centre, kDialRadius, kDialWhite);

    const int marks = hourMarkCount(side);
    for (int mark = 0; mark < marks; ++mark) {
        const double angle = 360.0 * mark / marks;
        line(onCase(angle, kMarkInner), onCase(angle, kMarkOuter), kHandBlack, kMarkWidth,
             Qt::FlatCap);
    }
    line(centre, onCase(kHourHandAngle, kHourHandLength), kHandBlack, kHourHandWidth, Qt::RoundCap);
    line(centre, onCase(kMinuteHandAngle, kMinuteHandLength), kHandBlack, kMinuteHandWidth,
         Qt::RoundCap);
    disc(centre, kHubRadius, kHandBlack);

    painter.end();
    return image;
}

// The sixteen colours of the small icons; entry 0 is the transparent ground.
constexpr std::array<QRgb, 16> kIconPalette = {
    qRgba(0, 0, 0, 0),   kCaseRed,
    kCaseEdge,           kDialWhite,
    kHandBlack,          kFootGrey,
    qRgb(160, 14, 14),   qRgb(232, 110, 110),
    qRgb(244, 188, 188), qRgb(128, 128, 128),
    qRgb(192, 192, 192), qRgb(60, 14, 14),
    qRgb(168, 84, 84),   qRgb(96, 96, 96),
    qRgb(224, 224, 224), qRgb(32, 32, 32),
};
constexpr int kOpaqueAlpha = 128; // pixels at least this opaque keep a colour

// The icon reduced to the sixteen-colour palette, each pixel to its nearest colour.
QImage reduceToPalette(const QImage &icon)
{
    const QImage straight = icon.convertToFormat(QImage::Format_ARGB32);
    QImage reduced(straight.size(), QImage::Format_Indexed8);
    reduced.setColorTable(QList<QRgb>(kIconPalette.begin(), kIconPalette.end()));
    for (int y = 0; y < straight.height(); ++y) {
        const auto *source = reinterpret_cast<const QRgb *>(straight.constScanLine(y));
        uchar *target = reduced.scanLine(y);
        for (int x = 0; x < straight.width(); ++x) {
            const QRgb pixel = source[x];
            if (qAlpha(pixel) < kOpaqueAlpha) {
                target[x] = 0;
                continue;
            }
            int best = 1;
            int bestDistance = std::numeric_limits<int>::max();
            for (int i = 1; i < int(kIconPalette.size()); ++i) {
                const QRgb colour = kIconPalette[i];
                const int dr = qRed(pixel) - qRed(colour);
                const int dg = qGreen(pixel) - qGreen(colour);
                const int db = qBlue(pixel) - qBlue(colour);
                const int distance = dr * dr + dg * dg + db * db;
                if (distance < bestDistance) {
                    bestDistance = distance;
                    best = i;
                }
            }
            target[x] = uchar(best);
        }
    }
    return reduced;
}

QString svgColour(QRgb colour)
{
    return QColor::fromRgb(colour).name();
}

// The same alarm clock as SVG text, on a 256-unit square that scales to any size.
QString iconSvg()
{
    const auto number = [](double units) { return QString::number(units * kSvgSide, 'f', 2); };
    const auto point
        = [&number](QPointF p) { return number(p.x()) + QLatin1Char(' ') + number(p.y()); };
    const auto line = [&](QPointF from, QPointF to, QRgb colour, double width, const char *cap) {
        return QStringLiteral("  <path d=\"M %1 L %2\" stroke=\"%3\" stroke-width=\"%4\" "
                              "stroke-linecap=\"%5\"/>\n")
            .arg(point(from), point(to), svgColour(colour), number(width), QLatin1String(cap));
    };
    const auto circle = [&](QPointF centre, double radius, const QString &paint) {
        return QStringLiteral("  <circle cx=\"%1\" cy=\"%2\" r=\"%3\" %4/>\n")
            .arg(number(centre.x()), number(centre.y()), number(radius), paint);
    };
    const QString casePaint
        = QStringLiteral("fill=\"%1\" stroke=\"%2\" stroke-width=\"%3\"")
              .arg(svgColour(kCaseRed), svgColour(kCaseEdge), number(kEdgeWidth));
    const QPointF centre(kCaseX, kCaseY);

    QString svg;
    QTextStream out(&svg);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" << kSvgSide
        << "\" height=\"" << kSvgSide << "\" viewBox=\"0 0 " << kSvgSide << ' ' << kSvgSide
        << "\">\n"
        << "  <title>Spettro Segnale</title>\n";
    for (const double angle : {-kFootAngle, kFootAngle}) {
        out << line(onCase(angle, kFootInner), onCase(angle, kFootOuter), kFootGrey, kFootWidth,
                    "round");
    }
    out << circle(onCase(0.0, kKnobDistance), kKnobRadius, casePaint);
    for (const double angle : {-kBellAngle, kBellAngle}) {
        out << circle(onCase(angle, kBellDistance), kBellRadius, casePaint);
    }
    out << circle(centre, kCaseRadius, casePaint);
    out << circle(centre, kDialRadius, QStringLiteral("fill=\"%1\"").arg(svgColour(kDialWhite)));
    for (int mark = 0; mark < kIconMarks; ++mark) {
        const double angle = 360.0 * mark / kIconMarks;
        out << line(onCase(angle, kMarkInner), onCase(angle, kMarkOuter), kHandBlack, kMarkWidth,
                    "butt");
    }
    out << line(centre, onCase(kHourHandAngle, kHourHandLength), kHandBlack, kHourHandWidth,
                "round");
    out << line(centre, onCase(kMinuteHandAngle, kMinuteHandLength), kHandBlack, kMinuteHandWidth,
                "round");
    out << circle(centre, kHubRadius, QStringLiteral("fill=\"%1\"").arg(svgColour(kHandBlack)));
    out << "</svg>\n";
    return svg;
}

bool saveImage(const QImage &image, const QDir &dir, const QString &name, int quality = -1)
{
    const QString path = dir.filePath(name);
    if (!image.save(path, nullptr, quality)) {
        std::fprintf(stderr, "make_assets: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

bool saveText(const QString &text, const QDir &dir, const QString &name)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text.toUtf8()) < 0) {
        std::fprintf(stderr, "make_assets: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

constexpr std::array kPaletteIconSides = {16, 32};
constexpr std::array kFullColourIconSides = {48, 64, 128, 256};

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_assets OUTPUT_DIRECTORY\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.exists() && !QDir().mkpath(dir.path())) {
        std::fprintf(stderr, "make_assets: cannot create %s\n", argv[1]);
        return 1;
    }

    bool ok = saveImage(drawDiagram(), dir, QStringLiteral("diagram.jpg"), kDiagramJpegQuality);
    for (const int side : kPaletteIconSides) {
        ok = saveImage(reduceToPalette(drawIcon(side)), dir,
                       QStringLiteral("icon-%1.png").arg(side))
            && ok;
    }
    for (const int side : kFullColourIconSides) {
        ok = saveImage(drawIcon(side), dir, QStringLiteral("icon-%1.png").arg(side)) && ok;
    }
    ok = saveText(iconSvg(), dir, QStringLiteral("icon.svg")) && ok;
    return ok ? 0 : 1;
}
