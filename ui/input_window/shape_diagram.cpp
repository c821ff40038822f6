// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "shape_diagram.h"

#include "pulse_diagram.h"

#include "ui/window_texts.h"

#include "core/spectrum/pulse_shapes.h"

#include <QAction>
#include <QActionGroup>
#include <QContextMenuEvent>
#include <QImage>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPixmap>

namespace {

QPixmap PictureOf(PulseShape shape)
{
    // The half-sine keeps the stored picture the window has always shown.
    if (shape == PulseShape::HalfSine)
        return QPixmap(QStringLiteral(":/spettro/diagram.jpg"));
    return QPixmap::fromImage(DrawPulseDiagram(MathOf(shape).sample));
}

} // namespace

ShapeDiagram::ShapeDiagram(QWidget *parent) : QLabel(parent)
{
    setObjectName("Picture1");
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor); // a hand over it says it can be clicked
    setToolTip(QTextOf(UiText::ShapeChoiceHint));
    setAccessibleDescription(toolTip()); // said to screen readers too
    menu_ = new QMenu(this);
    menu_->setObjectName("MenuForma");
    entries_ = new QActionGroup(this);
    for (const PulseShapeTexts &texts : PulseShapes) {
        // The name's first letter is the entry's accelerator.
        QAction *entry = menu_->addAction(QLatin1Char('&') + QString::fromUtf8(texts.name));
        entry->setObjectName(QStringLiteral("Forma%1").arg(static_cast<int>(texts.shape)));
        entry->setCheckable(true);
        entries_->addAction(entry);
        connect(entry, &QAction::triggered, this, [this, shape = texts.shape] { Choose(shape); });
    }
    SetShape(PulseShape::HalfSine);
}

void ShapeDiagram::SetShape(PulseShape shape)
{
    shape_ = shape;
    setPixmap(PictureOf(shape));
    setAccessibleName(QString::fromUtf8(TextsOf(shape).diagram));
    entries_->actions().at(static_cast<int>(shape))->setChecked(true);
}

void ShapeDiagram::Choose(PulseShape shape)
{
    SetShape(shape);
    emit shapeChosen(shape);
}

void ShapeDiagram::OpenMenu(const QPoint &at)
{
    menu_->setActiveAction(entries_->checkedAction());
    menu_->popup(mapToGlobal(at));
}

void ShapeDiagram::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        OpenMenu(event->position().toPoint());
    else
        QLabel::mousePressEvent(event);
}

void ShapeDiagram::contextMenuEvent(QContextMenuEvent *event)
{
    OpenMenu(event->pos());
}

void ShapeDiagram::keyPressEvent(QKeyEvent *event)
{
    const int count = static_cast<int>(PulseShapes.size());
    const int step = event->key() == Qt::Key_Down ? 1 : event->key() == Qt::Key_Up ? -1 : 0;
    if (step != 0 && event->modifiers() == Qt::NoModifier) {
        Choose(static_cast<PulseShape>((static_cast<int>(shape_) + step + count) % count));
        return;
    }
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_F4:
    case Qt::Key_Menu:
        OpenMenu(QPoint(0, 0));
        return;
    default:
        QLabel::keyPressEvent(event);
    }
}
