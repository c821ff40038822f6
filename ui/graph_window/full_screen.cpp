// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "full_screen.h"

#include "ui/window_texts.h"

#include <QAction>
#include <QBoxLayout>
#include <QEvent>
#include <QLabel>
#include <QLayout>
#include <QResizeEvent>
#include <QScreen>
#include <QShortcut>
#include <QWidget>

FullScreenPlot::FullScreenPlot(QWidget &window, QWidget &clientView, PlotArea &plot,
                               QList<QLabel *> keys, QWidget *bar, std::function<void()> redraw)
    : QObject(&window), window_(window), clientView_(clientView), plot_(plot),
      keys_(std::move(keys)), bar_(bar), redraw_(std::move(redraw))
{
    action_ = new QAction(QTextOf(UiText::FullScreen), &window);
    action_->setObjectName("FullScreenAction");
    action_->setCheckable(true);
    action_->setShortcut(Qt::Key_F11);
    action_->setShortcutContext(Qt::WindowShortcut);
    window.addAction(action_);
    connect(action_, &QAction::toggled, this, [this](bool on) { on ? Enter() : Leave(); });
    escape_ = new QShortcut(Qt::Key_Escape, &window);
    escape_->setEnabled(false);
    connect(escape_, &QShortcut::activated, action_, [this] { action_->setChecked(false); });
    plot_.installEventFilter(this);
}

bool FullScreenPlot::eventFilter(QObject *watched, QEvent *event)
{
    // The graphs drawn again once the plot has its new size, in or out of the full screen; a
    // plot that is shown the first time has no size before.
    if (watched == &plot_ && event->type() == QEvent::Resize) {
        const auto *resize = static_cast<QResizeEvent *>(event);
        if (resize->oldSize().isValid() && resize->oldSize() != resize->size())
            QueueRedraw();
    }
    return QObject::eventFilter(watched, event);
}

void FullScreenPlot::QueueRedraw()
{
    redrawQueued_.Request();
}

void FullScreenPlot::Enter()
{
    const QScreen *screen = window_.screen();
    const FullScreenSizes sizes = FullScreenSizesFor(screen ? screen->geometry().height() : 1080);
    places_.clear();
    places_ << Place {&plot_, plot_.parentWidget(), plot_.geometry(), plot_.font(), false};
    found_ = plot_.Style();
    for (QLabel *key : keys_)
        places_ << Place {key, key->parentWidget(), key->geometry(), key->font(), key->wordWrap()};

    stage_ = new QWidget(&window_);
    stage_->setObjectName("FullScreenStage");
    auto *column = new QVBoxLayout(stage_);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(&plot_, 1);
    auto *strip = new QHBoxLayout;
    strip->setContentsMargins(sizes.textPixels / 2, sizes.textPixels / 4, sizes.textPixels / 2,
                              sizes.textPixels / 4);
    strip->setSpacing(sizes.textPixels);
    if (bar_) { // always there, in the screen's text size
        barFont_ = bar_->font();
        QFont font = barFont_;
        font.setPixelSize(sizes.textPixels);
        bar_->setFont(font);
        strip->addWidget(bar_);
        bar_->show();
    }
    for (QLabel *key : keys_) {
        const bool hidden = key->isHidden();
        QFont font = key->font();
        font.setPixelSize(sizes.textPixels);
        key->setFont(font);
        key->setWordWrap(false);
        strip->addWidget(key);
        key->setVisible(!hidden);
    }
    strip->addStretch();
    // The caption line between the plot and the strip: what the picture shows.
    caption_ = new QLabel(captionText_, stage_);
    caption_->setObjectName("FullScreenCaption");
    caption_->setTextFormat(Qt::RichText);
    caption_->setWordWrap(true);
    QFont captionFont = caption_->font();
    captionFont.setPixelSize(sizes.textPixels);
    caption_->setFont(captionFont);
    caption_->setContentsMargins(sizes.textPixels / 2, sizes.textPixels / 4, sizes.textPixels / 2,
                                 0);
    column->addWidget(caption_);
    column->addLayout(strip);
    plot_.show();
    plot_.SetStyle({found_.renderScale, sizes.lineWidth, sizes.textPixels});

    window_.layout()->menuBar()->hide();
    clientView_.hide();
    window_.layout()->addWidget(stage_);
    escape_->setEnabled(true);
    window_.showFullScreen();
}

void FullScreenPlot::SetCaption(const QString &caption)
{
    captionText_ = caption;
    if (caption_)
        caption_->setText(caption);
}

void FullScreenPlot::Leave()
{
    escape_->setEnabled(false);
    window_.showNormal();
    plot_.SetStyle(found_); // as it was found
    for (const Place &place : places_) {
        // A key shown or hidden while the screen was full keeps that.
        const bool hidden = place.widget->isHidden();
        place.widget->setParent(place.parent);
        place.widget->setGeometry(place.geometry);
        place.widget->setFont(place.font);
        if (auto *key = qobject_cast<QLabel *>(place.widget))
            key->setWordWrap(place.wordWrap);
        place.widget->setVisible(!hidden);
    }
    places_.clear();
    if (bar_) {
        bar_->setFont(barFont_);
        static_cast<QBoxLayout *>(window_.layout())->insertWidget(0, bar_);
        bar_->hide();
    }
    delete stage_;
    window_.layout()->menuBar()->show();
    clientView_.show();
    // Back in its place, hidden meanwhile, the plot may take its size without a resize of its
    // own to tell it.
    QueueRedraw();
}
