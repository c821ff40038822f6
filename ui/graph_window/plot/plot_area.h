// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A picture box: a retained image that all drawing goes into, user coordinates set by Scale,
// one-pixel segments drawn by Line, a Picture that replaces the drawing, a tool-tip text and
// mouse moves reported in user coordinates.
#pragma once

#include "ui/graph_window/plot_geometry/column_spans.h"
#include "ui/graph_window/plot_geometry/pixel_mapping.h"

#include <QFrame>
#include <QImage>
#include <QPointF>

#include <cstdint>

// How a plot draws: its image `renderScale` times as many pixels each way as the screen's (a
// picture for slides), its lines `lineWidth` image pixels wide (odd), its text `textPixels` tall
// (0: the classic size). The window's plot draws with the first; the full screen and the pictures
// drawn apart from the window with their own.
struct PlotStyle
{
    int renderScale = 1;
    int lineWidth = 1;
    int textPixels = 0;
    bool operator==(const PlotStyle &) const = default;
};

class PlotArea : public QFrame
{
    Q_OBJECT
public:
    explicit PlotArea(QWidget *parent = nullptr);

    void Scale(float x1, float y1, float x2, float y2);
    // A segment in the fore colour, or in the given colour; ends in user coordinates.
    void Line(float x1, float y1, float x2, float y2);
    void Line(float x1, float y1, float x2, float y2, QRgb color);
    // Writes `text` in the colour with its left end at x and its baseline one pixel above y, in
    // user coordinates: a scale's value over its line.
    void Print(float x, float y, const QString &text, QRgb color);
    // The image's pixels `text` printed at (x, y) covers: its first and last column, its top row
    // and its bottom row.
    struct TextPixels
    {
        int left, right;
        double top, bottom;
    };
    TextPixels PrintedAt(float x, float y, const QString &text) const;
    // Lights the rows lowRow .. highRow (clipped) of one column of the image, in image pixels.
    void FillColumn(int column, std::int64_t lowRow, std::int64_t highRow, QRgb color);
    // Lights every span gathered for the image's columns.
    void Fill(const ColumnSpans &spans, QRgb color);

    // The assigned picture; none until one is assigned.
    const QImage &Picture() const { return picture_; }
    // Replaces everything drawn by the picture on the background colour.
    void SetPicture(const QImage &picture);
    // Puts back a drawing taken from Image() earlier, leaving the Picture as it is.
    void RestoreDrawing(const QImage &drawing);

    QString ToolTipText() const { return tip_; }
    void SetToolTipText(const QString &text);
    // A tool-tip's text as the plot shows it: larger with the text's height set.
    QString TipOf(const QString &text) const;
    // The widget's point over a pixel of the image.
    QPoint WidgetPoint(QPointF imagePixel) const;

    // What is drawn after takes the style, the tool-tip's text its height; the image, at a new
    // render scale, is shown at the widget's size.
    void SetStyle(const PlotStyle &style);
    PlotStyle Style() const { return {renderScale_, LineWidth(), textPixels_}; }
    void SetLineWidth(int width);
    void SetTextHeight(int pixels);
    int LineWidth() const { return 2 * halfWidth_ + 1; }

    QRgb ForeColor() const { return foreColor_; }
    QColor BackColor() const;
    void SetBackColor(const QColor &color);

    // The retained drawing, in device pixels.
    const QImage &Image() const { return image_; }
    // The current user coordinate system over the image's pixels.
    const PixelMapping &Mapping() const { return mapping_; }
    // The user coordinates of a position in the widget's contents, as the mouse reports it.
    QPointF UserPoint(QPointF contentsPosition) const;

signals:
    // Button and shift states as the classic event gives them, position in user coordinates.
    void MouseMove(short button, short shift, float x, float y);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QSize ImageSize() const;
    QFont TextFont() const;
    void AllocateImage();
    void UpdateMapping();

    QImage image_;
    QImage picture_;
    PixelMapping mapping_;
    float scale_[4] = {0, 0, 1, 1};
    bool scaleSet_ = false;
    QRgb foreColor_;
    QString tip_;
    int halfWidth_ = 0;
    int renderScale_ = 1;
    int textPixels_ = 0;
};
