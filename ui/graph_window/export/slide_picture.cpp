// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "slide_picture.h"

#include "ui/classic/classic_controls.h"
#include "ui/window_texts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPainter>

QImage WithNotes(const QImage &plot, const PictureNotes &notes, int scale)
{
    if (notes.caption.isEmpty() && notes.keys.isEmpty())
        return plot;
    QFont font = ClassicFont(12, false);
    font.setPixelSize(font.pixelSize() * scale);
    QFont bold = font;
    bold.setBold(true);
    const int margin = font.pixelSize() / 2;
    const QRect room(margin, 0, plot.width() - 2 * margin, 1 << 20);
    const int keyHeight = notes.keys.isEmpty() ? 0 : QFontMetrics(bold).height() + margin / 2;
    const QRect text = notes.caption.isEmpty()
        ? QRect()
        : QFontMetrics(font).boundingRect(room, Qt::TextWordWrap, notes.caption);
    QImage slide(plot.width(), plot.height() + keyHeight + text.height() + 2 * margin,
                 QImage::Format_RGB32);
    slide.fill(Qt::white);
    QPainter painter(&slide);
    painter.drawImage(QRect(0, 0, plot.width(), plot.height()), plot);
    // The key: each text in its colour, one after the other.
    painter.setFont(bold);
    int x = margin;
    for (const auto &[key, colour] : notes.keys) {
        painter.setPen(colour);
        const QRect at(x, plot.height() + margin, room.right() - x, keyHeight);
        painter.drawText(at, Qt::AlignLeft | Qt::AlignTop, key);
        x += QFontMetrics(bold).horizontalAdvance(key) + 2 * margin;
    }
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QRect(margin, plot.height() + margin + keyHeight, room.width(), text.height()),
                     Qt::TextWordWrap, notes.caption);
    return slide;
}

std::optional<SlideChoice> AskSlideChoice(QWidget *parent, QSize plotSize)
{
    QDialog dialog(parent);
    dialog.setObjectName("SlideDialog");
    dialog.setWindowTitle(QTextOf(UiText::SaveSlideTitle));
    auto *form = new QFormLayout(&dialog);
    auto *scales = new QComboBox(&dialog);
    scales->setObjectName("SlideScale");
    for (const int scale : SlideScales)
        scales->addItem(QTextOf(UiText::SlideScaleChoice)
                            .arg(scale)
                            .arg(plotSize.width() * scale)
                            .arg(plotSize.height() * scale),
                        scale);
    scales->setCurrentIndex(scales->findData(SlideChoice().scale));
    form->addRow(QTextOf(UiText::SlideScale), scales);
    auto *caption = new QCheckBox(QTextOf(UiText::SlideCaptionChoice), &dialog);
    caption->setObjectName("SlideCaption");
    caption->setChecked(SlideChoice().caption);
    form->addRow(caption);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return SlideChoice {scales->currentData().toInt(), caption->isChecked()};
}
