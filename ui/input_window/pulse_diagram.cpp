// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "pulse_diagram.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPointF>
#include <QString>

#include <vector>

namespace {

constexpr int DiagramWidth = 854;
constexpr int DiagramHeight = 320;
constexpr QRgb DiagramGround = qRgb(212, 208, 200);
constexpr QRgb DiagramLine = qRgb(204, 0, 0);
constexpr QRgb DiagramInk = qRgb(0, 0, 0);
constexpr double DiagramLineWidth = 1.5;

constexpr double BaseY = DiagramHeight - 6.5; // the zero level, a few pixels above the bottom
constexpr double CrestY = 36.5; // the peak, leaving room for the "Vmax" label above
constexpr double TrainStartX = 44.0; // where the first pulse rises
constexpr double Period = 259.0; // about the width divided by 3.3
constexpr double PulseWidth = Period / 4.0; // duty cycle of one quarter
constexpr int PulseCount = 3;
constexpr int PulseSegments = 64; // straight pieces per pulse

constexpr double ScaleX = 14.5;
constexpr int ScaleTicks = 4;
constexpr double ScaleTickLength = 7.0;

constexpr int LabelPixelSize = 15;
constexpr double LabelGap = 5.0; // between a label and the point it names

// One pulse's heights over its peak at its segments' ends. At a jump the pulse's sample is the
// middle of its sides; the picture draws the edge upright, from the base line to the far side.
std::vector<double> PulseHeights(DiagramPulse pulse)
{
    std::vector<double> heights(PulseSegments + 1);
    for (int i = 0; i <= PulseSegments; ++i)
        heights[i] = pulse(i, PulseSegments, false);
    heights.front() *= 2; // from 0 where the pulse starts: the side after the jump
    heights.back() *= 2; // down to 0 where it ends: the side before it
    return heights;
}

// The middle of the first run of the highest heights: where "Vmax" stands.
double CrestOffset(const std::vector<double> &heights)
{
    std::size_t first = 0;
    for (std::size_t i = 1; i < heights.size(); ++i)
        if (heights[i] > heights[first])
            first = i;
    std::size_t last = first;
    while (last + 1 < heights.size() && heights[last + 1] == heights[first])
        ++last;
    return PulseWidth * static_cast<double>(first + last) / 2 / PulseSegments;
}

} // namespace

QImage DrawPulseDiagram(DiagramPulse pulse)
{
    QImage image(DiagramWidth, DiagramHeight, QImage::Format_RGB32);
    image.fill(DiagramGround);

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    const double amplitude = BaseY - CrestY;
    const double trainEndX = TrainStartX + PulseCount * Period;
    const std::vector<double> heights = PulseHeights(pulse);

    QPainterPath train;
    train.moveTo(TrainStartX, BaseY);
    for (int p = 0; p < PulseCount; ++p) {
        const double riseX = TrainStartX + p * Period;
        train.lineTo(riseX, BaseY);
        for (int i = 0; i <= PulseSegments; ++i)
            train.lineTo(riseX + PulseWidth * i / PulseSegments, BaseY - amplitude * heights[i]);
        train.lineTo(riseX + PulseWidth, BaseY);
    }
    train.lineTo(trainEndX, BaseY);

    QPen linePen(QColor::fromRgb(DiagramLine), DiagramLineWidth);
    linePen.setJoinStyle(Qt::RoundJoin);
    linePen.setCapStyle(Qt::FlatCap);
    painter.setPen(linePen);
    painter.setBrush(Qt::NoBrush);
    // The base line runs from the scale to the right edge; the pulses stand on it.
    painter.drawLine(QPointF(ScaleX, BaseY), QPointF(DiagramWidth - 8.0, BaseY));
    painter.drawPath(train);

    // The vertical scale on the left: a stem with four evenly spaced ticks up to the peak.
    QPen inkPen(QColor::fromRgb(DiagramInk), 1.0);
    inkPen.setCapStyle(Qt::FlatCap);
    painter.setPen(inkPen);
    painter.drawLine(QPointF(ScaleX, BaseY), QPointF(ScaleX, CrestY));
    for (int tick = 1; tick <= ScaleTicks; ++tick) {
        const double y = BaseY - amplitude * tick / ScaleTicks;
        painter.drawLine(QPointF(ScaleX - ScaleTickLength / 2.0, y),
                         QPointF(ScaleX + ScaleTickLength / 2.0, y));
    }

    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(LabelPixelSize);
    font.setBold(true);
    painter.setFont(font);
    const QFontMetrics metrics(font);

    // "Vmax" centred over the crest of the first pulse.
    const QString vmax = QStringLiteral("Vmax");
    const double crestX = TrainStartX + CrestOffset(heights);
    painter.drawText(QPointF(crestX - metrics.horizontalAdvance(vmax) / 2.0, CrestY - LabelGap),
                     vmax);

    // "Ti" just right of the foot where the first pulse ends.
    const double labelBaseline = BaseY - LabelGap;
    painter.drawText(QPointF(TrainStartX + PulseWidth + LabelGap, labelBaseline),
                     QStringLiteral("Ti"));

    // "T" just left of the foot where the second pulse begins.
    const QString period = QStringLiteral("T");
    painter.drawText(
        QPointF(TrainStartX + Period - LabelGap - metrics.horizontalAdvance(period), labelBaseline),
        period);

    painter.end();
    return image;
}
