// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the input window's pulse-train diagram and the program's alarm-clock icon.

#include "ui/input_window/pulse_diagram.h"

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

constexpr int DiagramJpegQuality = 90;

// The stored diagram: the half-sine train.
QImage DrawDiagram()
{
    return DrawPulseDiagram([](std::int64_t i, double nd, bool) {
        return std::sin(std::numbers::pi * static_cast<double>(i) / nd);
    });
}

// ---------------------------------------------------------------- icon
//
// All icon geometry is in units of the icon's side, with (0, 0) at the top left.

constexpr QRgb CaseRed = qRgb(214, 28, 28);
constexpr QRgb CaseEdge = qRgb(112, 0, 0);
constexpr QRgb DialWhite = qRgb(255, 255, 255);
constexpr QRgb HandBlack = qRgb(0, 0, 0);
constexpr QRgb FootGrey = qRgb(64, 64, 64);

constexpr double CaseX = 0.5;
constexpr double CaseY = 0.55;
constexpr double CaseRadius = 0.33;
constexpr double EdgeWidth = 0.035;

constexpr double BellAngle = 40.0; // degrees either side of twelve o'clock
constexpr double BellDistance = 0.39; // from the case centre
constexpr double BellRadius = 0.14;
constexpr double KnobRadius = 0.05; // the hammer knob between the bells
constexpr double KnobDistance = 0.41;

constexpr double FootAngle = 140.0; // degrees either side of twelve o'clock
constexpr double FootInner = 0.28;
constexpr double FootOuter = 0.44;
constexpr double FootWidth = 0.07;

constexpr double DialRadius = 0.23;
constexpr double MarkOuter = 0.215;
constexpr double MarkInner = 0.16;
constexpr double MarkWidth = 0.025;
constexpr double HourHandAngle = 270.0; // nine o'clock
constexpr double HourHandLength = 0.13;
constexpr double HourHandWidth = 0.05;
constexpr double MinuteHandAngle = 0.0; // on the hour
constexpr double MinuteHandLength = 0.19;
constexpr double MinuteHandWidth = 0.035;
constexpr double HubRadius = 0.04;

constexpr int SmallIconLimit = 24; // at or below this side: four hour marks, no knob
constexpr int SmallIconMarks = 4;
constexpr int IconMarks = 12;
constexpr int SvgSide = 256;

// The point at `distance` from the case centre in the direction of a clock angle (degrees,
// clockwise from twelve o'clock).
QPointF OnCase(double clockDegrees, double distance)
{
    const double radians = clockDegrees * std::numbers::pi / 180.0;
    return {CaseX + distance * std::sin(radians), CaseY - distance * std::cos(radians)};
}

int HourMarkCount(int side)
{
    return side <= SmallIconLimit ? SmallIconMarks : IconMarks;
}

// A stroke width in pixels: never thinner than one pixel.
double StrokePixels(double width, int side)
{
    return std::max(1.0, width * side);
}

// The alarm clock at `side` x `side` pixels on a transparent ground.
QImage DrawIcon(int side)
{
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    // Shift by under half a pixel so the dial centre falls on a pixel centre: the small sizes then
    // draw crisp marks and hands.
    const auto toPixelCentre
        = [side](double units) { return std::floor(units * side) + 0.5 - units * side; };
    painter.translate(toPixelCentre(CaseX), toPixelCentre(CaseY));
    painter.scale(side, side);

    // Everything is filled rather than stroked, so one-pixel lines get the same exact coverage as
    // the discs around them.
    const auto line = [&painter, side](QPointF from, QPointF to, QRgb colour, double width,
                                       Qt::PenCapStyle cap) {
        QPainterPath path(from);
        path.lineTo(to);
        QPainterPathStroker stroker;
        stroker.setWidth(StrokePixels(width, side) / side);
        stroker.setCapStyle(cap);
        painter.fillPath(stroker.createStroke(path), QColor::fromRgb(colour));
    };
    const auto disc = [&painter](QPointF centre, double radius, QRgb colour) {
        QPainterPath path;
        path.addEllipse(centre, radius, radius);
        painter.fillPath(path, QColor::fromRgb(colour));
    };
    const double edge = StrokePixels(EdgeWidth, side) / side;
    const auto redPart = [&](QPointF centre, double radius) {
        disc(centre, radius + edge / 2.0, CaseEdge);
        disc(centre, radius - edge / 2.0, CaseRed);
    };
    const QPointF centre(CaseX, CaseY);

    // Feet and bells first: the case covers their inner parts.
    for (const double angle : {-FootAngle, FootAngle}) {
        line(OnCase(angle, FootInner), OnCase(angle, FootOuter), FootGrey, FootWidth, Qt::RoundCap);
    }
    if (side > SmallIconLimit) {
        redPart(OnCase(0.0, KnobDistance), KnobRadius);
    }
    for (const double angle : {-BellAngle, BellAngle}) {
        redPart(OnCase(angle, BellDistance), BellRadius);
    }
    redPart(centre, CaseRadius);
    disc(centre, DialRadius, DialWhite);

    const int marks = HourMarkCount(side);
    for (int mark = 0; mark < marks; ++mark) {
        const double angle = 360.0 * mark / marks;
        line(OnCase(angle, MarkInner), OnCase(angle, MarkOuter), HandBlack, MarkWidth, Qt::FlatCap);
    }
    line(centre, OnCase(HourHandAngle, HourHandLength), HandBlack, HourHandWidth, Qt::RoundCap);
    line(centre, OnCase(MinuteHandAngle, MinuteHandLength), HandBlack, MinuteHandWidth,
         Qt::RoundCap);
    disc(centre, HubRadius, HandBlack);

    painter.end();
    return image;
}

// The sixteen colours of the small icons; entry 0 is the transparent ground.
constexpr std::array<QRgb, 16> IconPalette = {
    qRgba(0, 0, 0, 0),
    CaseRed,
    CaseEdge,
    DialWhite,
    HandBlack,
    FootGrey,
    qRgb(160, 14, 14),
    qRgb(232, 110, 110),
    qRgb(244, 188, 188),
    qRgb(128, 128, 128),
    qRgb(192, 192, 192),
    qRgb(60, 14, 14),
    qRgb(168, 84, 84),
    qRgb(96, 96, 96),
    qRgb(224, 224, 224),
    qRgb(32, 32, 32),
};
constexpr int OpaqueAlpha = 128; // pixels at least this opaque keep a colour

// The icon reduced to the sixteen-colour palette, each pixel to its nearest colour.
QImage ReduceToPalette(const QImage &icon)
{
    const QImage straight = icon.convertToFormat(QImage::Format_ARGB32);
    QImage reduced(straight.size(), QImage::Format_Indexed8);
    reduced.setColorTable(QList<QRgb>(IconPalette.begin(), IconPalette.end()));
    for (int y = 0; y < straight.height(); ++y) {
        const auto *source = reinterpret_cast<const QRgb *>(straight.constScanLine(y));
        uchar *target = reduced.scanLine(y);
        for (int x = 0; x < straight.width(); ++x) {
            const QRgb pixel = source[x];
            if (qAlpha(pixel) < OpaqueAlpha) {
                target[x] = 0;
                continue;
            }
            int best = 1;
            int bestDistance = std::numeric_limits<int>::max();
            for (int i = 1; i < int(IconPalette.size()); ++i) {
                const QRgb colour = IconPalette[i];
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

QString SvgColour(QRgb colour)
{
    return QColor::fromRgb(colour).name();
}

// The same alarm clock as SVG text, on a 256-unit square that scales to any size.
QString IconSvg()
{
    const auto number = [](double units) { return QString::number(units * SvgSide, 'f', 2); };
    const auto point
        = [&number](QPointF p) { return number(p.x()) + QLatin1Char(' ') + number(p.y()); };
    const auto line = [&](QPointF from, QPointF to, QRgb colour, double width, const char *cap) {
        return QStringLiteral("  <path d=\"M %1 L %2\" stroke=\"%3\" stroke-width=\"%4\" "
                              "stroke-linecap=\"%5\"/>\n")
            .arg(point(from), point(to), SvgColour(colour), number(width), QLatin1String(cap));
    };
    const auto circle = [&](QPointF centre, double radius, const QString &paint) {
        return QStringLiteral("  <circle cx=\"%1\" cy=\"%2\" r=\"%3\" %4/>\n")
            .arg(number(centre.x()), number(centre.y()), number(radius), paint);
    };
    const QString casePaint = QStringLiteral("fill=\"%1\" stroke=\"%2\" stroke-width=\"%3\"")
                                  .arg(SvgColour(CaseRed), SvgColour(CaseEdge), number(EdgeWidth));
    const QPointF centre(CaseX, CaseY);

    QString svg;
    QTextStream out(&svg);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" << SvgSide
        << "\" height=\"" << SvgSide << "\" viewBox=\"0 0 " << SvgSide << ' ' << SvgSide << "\">\n"
        << "  <title>Spettro Segnale</title>\n";
    for (const double angle : {-FootAngle, FootAngle}) {
        out << line(OnCase(angle, FootInner), OnCase(angle, FootOuter), FootGrey, FootWidth,
                    "round");
    }
    out << circle(OnCase(0.0, KnobDistance), KnobRadius, casePaint);
    for (const double angle : {-BellAngle, BellAngle}) {
        out << circle(OnCase(angle, BellDistance), BellRadius, casePaint);
    }
    out << circle(centre, CaseRadius, casePaint);
    out << circle(centre, DialRadius, QStringLiteral("fill=\"%1\"").arg(SvgColour(DialWhite)));
    for (int mark = 0; mark < IconMarks; ++mark) {
        const double angle = 360.0 * mark / IconMarks;
        out << line(OnCase(angle, MarkInner), OnCase(angle, MarkOuter), HandBlack, MarkWidth,
                    "butt");
    }
    out << line(centre, OnCase(HourHandAngle, HourHandLength), HandBlack, HourHandWidth, "round");
    out << line(centre, OnCase(MinuteHandAngle, MinuteHandLength), HandBlack, MinuteHandWidth,
                "round");
    out << circle(centre, HubRadius, QStringLiteral("fill=\"%1\"").arg(SvgColour(HandBlack)));
    out << "</svg>\n";
    return svg;
}

bool SaveImage(const QImage &image, const QDir &dir, const QString &name, int quality = -1)
{
    const QString path = dir.filePath(name);
    if (!image.save(path, nullptr, quality)) {
        std::fprintf(stderr, "make_assets: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

bool SaveText(const QString &text, const QDir &dir, const QString &name)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text.toUtf8()) < 0) {
        std::fprintf(stderr, "make_assets: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

constexpr std::array PaletteIconSides = {16, 32};
constexpr std::array FullColourIconSides = {48, 64, 128, 256};

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

    bool ok = SaveImage(DrawDiagram(), dir, QStringLiteral("diagram.jpg"), DiagramJpegQuality);
    for (const int side : PaletteIconSides) {
        ok = SaveImage(ReduceToPalette(DrawIcon(side)), dir,
                       QStringLiteral("icon-%1.png").arg(side))
            && ok;
    }
    for (const int side : FullColourIconSides) {
        ok = SaveImage(DrawIcon(side), dir, QStringLiteral("icon-%1.png").arg(side)) && ok;
    }
    ok = SaveText(IconSvg(), dir, QStringLiteral("icon.svg")) && ok;
    return ok ? 0 : 1;
}
