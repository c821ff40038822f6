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

QImage WithCaption(const QImage &plot, const QString &caption, int scale)
{
    if (caption.isEmpty())
        return plot;
    QFont font = ClassicFont(12, false);
    font.setPixelSize(font.pixelSize() * scale);
    const int margin = font.pixelSize() / 2;
    const QRect room(margin, 0, plot.width() - 2 * margin, 1 << 20);
    const QRect text = QFontMetrics(font).boundingRect(room, Qt::TextWordWrap, caption);
    QImage slide(plot.width(), plot.height() + text.height() + 2 * margin, QImage::Format_RGB32);
    slide.fill(Qt::white);
    QPainter painter(&slide);
    painter.drawImage(0, 0, plot);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QRect(margin, plot.height() + margin, room.width(), text.height()),
                     Qt::TextWordWrap, caption);
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
