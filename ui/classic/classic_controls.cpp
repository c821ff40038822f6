// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "classic_controls.h"

#include <QFontInfo>
#include <QLabel>
#include <QRadioButton>
#include <QWidget>

#include <cmath>

QFont ClassicFont(double points, bool bold)
{
    static const bool substituted = [] {
        // The classic dialog font is not on Linux; Liberation Sans has the same widths as the
        // Windows sans-serif faces and is installed with the program.
        QFont::insertSubstitutions("MS Sans Serif", {"Liberation Sans", "Arimo", "DejaVu Sans"});
        return true;
    }();
    (void)substituted;
    const int pixels = static_cast<int>(std::lround(points * 96 / 72));
    QFont font("MS Sans Serif");
    font.setPixelSize(pixels);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    // Where "MS Sans Serif" is a bitmap font without this size (wine's has no 8-point face in
    // Qt's list), Qt takes the next size up and the captions overflow their boxes: then its
    // scalable twin, or a face with the same widths.
    if (QFontInfo(font).pixelSize() != pixels)
        font.setFamilies({QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Liberation Sans"),
                          QStringLiteral("Arial")});
    return font;
}

void SetBackColor(QWidget *widget, const QColor &color)
{
    QPalette palette = widget->palette();
    palette.setColor(widget->backgroundRole(), color);
    widget->setPalette(palette);
}

QLabel *AddLabel(QWidget *parent, const LabelLayout &layout)
{
    auto *label = new QLabel(layout.caption, parent);
    label->setObjectName(layout.name);
    label->setGeometry(
        TwipsRect(layout.twips.x(), layout.twips.y(), layout.twips.width(), layout.twips.height()));
    label->setFont(ClassicFont(layout.points, layout.bold));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    label->setAutoFillBackground(true);
    label->setFocusPolicy(Qt::NoFocus);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window,
                     layout.back.isValid() ? layout.back : palette.color(QPalette::Button));
    if (layout.fore.isValid())
        palette.setColor(QPalette::WindowText, layout.fore);
    label->setPalette(palette);
    return label;
}

QRadioButton *AddOptionButton(QWidget *parent, const char *name, const QString &caption,
                              QRect twips, const QColor &fore)
{
    auto *option = new QRadioButton(caption, parent);
    option->setObjectName(name);
    option->setGeometry(TwipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
    option->setFont(ClassicFont(8.25));
    QPalette palette = option->palette();
    palette.setColor(QPalette::WindowText, fore);
    palette.setColor(QPalette::ButtonText, fore);
    option->setPalette(palette);
    return option;
}
