// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "guide_window.h"

#include "ui/window_texts.h"

#include <QAction>
#include <QApplication>
#include <QPointer>
#include <QScreen>
#include <QTextBrowser>
#include <QUrl>

QTextBrowser *ShowGuide()
{
    static QPointer<QTextBrowser> guide;
    if (!guide) {
        guide = new QTextBrowser;
        guide->setObjectName("Guida");
        guide->setAttribute(Qt::WA_DeleteOnClose);
        guide->setWindowTitle(QTextOf(UiText::GuideTitle));
        guide->setOpenLinks(true);
        guide->setSearchPaths({QStringLiteral(":/guida")});
        guide->setSource(QUrl(QStringLiteral("qrc:/guida/guida.html")));
        // Wide enough for its pictures, and within the screen.
        const QSize wanted(760, 900);
        const QScreen *screen = QGuiApplication::primaryScreen();
        guide->resize(screen ? wanted.boundedTo(screen->availableGeometry().size() * 9 / 10)
                             : wanted);
        // The program's end closes it with the windows it was opened from.
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, guide, &QWidget::close);
    }
    guide->show();
    guide->raise();
    guide->activateWindow();
    return guide;
}

QAction *AddGuideEntry(QWidget &window)
{
    auto *entry = new QAction(QTextOf(UiText::Guide), &window);
    entry->setObjectName("GuidaAction");
    entry->setShortcut(Qt::Key_F1);
    entry->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(entry, &QAction::triggered, &window, [] { ShowGuide(); });
    window.addAction(entry);
    return entry;
}
