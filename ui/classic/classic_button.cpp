// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "classic_button.h"

#include "classic_controls.h"

#include <QPainter>
#include <QStyleOptionFocusRect>

ClassicButton::ClassicButton(const QString &caption, const QColor &backColor, QWidget *parent)
    : QPushButton(caption, parent)
{
    setAutoDefault(false);
    SetBackColor(this, backColor);
}

void ClassicButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect r = rect();
    const QColor face = palette().color(QPalette::Button);
    painter.fillRect(r, face);

    // A two-pixel bevel, raised when up and sunken while pressed.
    const bool down = isDown();
    const QColor light = down ? Qt::black : Qt::white;
    const QColor dark = down ? Qt::white : Qt::black;
    const QColor mid = down ? QColor(Qt::white) : face.darker(160);
    painter.setPen(light);
    painter.drawLine(r.topLeft(), r.topRight() - QPoint(1, 0));
    painter.drawLine(r.topLeft(), r.bottomLeft() - QPoint(0, 1));
    painter.setPen(dark);
    painter.drawLine(r.bottomLeft(), r.bottomRight());
    painter.drawLine(r.topRight(), r.bottomRight());
    painter.setPen(mid);
    painter.drawLine(r.bottomLeft() + QPoint(1, -1), r.bottomRight() - QPoint(1, 1));
    painter.drawLine(r.topRight() + QPoint(-1, 1), r.bottomRight() - QPoint(1, 1));

    const QRect textRect = r.adjusted(3, 3, -3, -3).translated(down ? QPoint(1, 1) : QPoint());
    painter.setPen(isEnabled() ? palette().color(QPalette::ButtonText) : QColor(Qt::gray));
    painter.setFont(font());
    painter.drawText(textRect, Qt::AlignCenter | Qt::TextWordWrap, text());

    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = r.adjusted(4, 4, -4, -4);
        focus.backgroundColor = face;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}
