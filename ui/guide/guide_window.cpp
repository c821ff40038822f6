// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "guide_window.h"

#include "ui/window_texts.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QScreen>
#include <QTextBrowser>
#include <QUrl>

namespace {

// The guide's window: it closes with Esc and Ctrl+W, and Ctrl+F opens a bar along its bottom
// edge that finds a word as it is typed (Enter the next, Shift+Enter the one before, round the
// end); Esc then closes the bar first.
class GuideBrowser : public QTextBrowser
{
public:
    GuideBrowser()
    {
        find_ = new QLineEdit(this);
        find_->setObjectName("GuidaCerca");
        find_->setPlaceholderText(QTextOf(UiText::GuideFind));
        find_->setAccessibleName(QTextOf(UiText::GuideFind));
        find_->setClearButtonEnabled(true);
        find_->hide();
        connect(find_, &QLineEdit::textEdited, this, [this] { Find(From::Here); });
        connect(find_, &QLineEdit::returnPressed, this, [this] {
            Find(QApplication::keyboardModifiers() & Qt::ShiftModifier ? From::Before
                                                                       : From::After);
        });
        auto *escape = new QAction(this);
        escape->setShortcut(QKeySequence(Qt::Key_Escape));
        escape->setShortcutContext(Qt::WindowShortcut);
        connect(escape, &QAction::triggered, this, [this] {
            if (find_->isVisible())
                return ShowBar(false);
            close();
        });
        addAction(escape);
        auto *close = new QAction(this);
        close->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
        close->setShortcutContext(Qt::WindowShortcut);
        connect(close, &QAction::triggered, this, &QWidget::close);
        addAction(close);
        auto *open = new QAction(this);
        open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
        open->setShortcutContext(Qt::WindowShortcut);
        connect(open, &QAction::triggered, this, [this] { ShowBar(true); });
        addAction(open);
    }

protected:
    void resizeEvent(QResizeEvent *event) override
    {
        QTextBrowser::resizeEvent(event);
        Place();
    }

private:
    enum class From
    {
        Here, // the word typed so far, from the start of the one found
        After,
        Before
    };

    void ShowBar(bool on)
    {
        find_->setVisible(on);
        setViewportMargins(0, 0, 0, on ? find_->sizeHint().height() : 0);
        Place();
        if (on) {
            find_->setFocus();
            find_->selectAll();
        } else {
            setFocus();
        }
    }
    void Place()
    {
        const QRect inside = contentsRect();
        const int height = find_->sizeHint().height();
        find_->setGeometry(inside.left(), inside.bottom() + 1 - height, inside.width(), height);
    }
    void Find(From from)
    {
        const QString word = find_->text();
        QTextCursor cursor = textCursor();
        if (from != From::After)
            cursor.setPosition(cursor.selectionStart());
        setTextCursor(cursor);
        const QTextDocument::FindFlags flags
            = from == From::Before ? QTextDocument::FindBackward : QTextDocument::FindFlags();
        bool found = word.isEmpty() || find(word, flags);
        if (!found) { // round the end
            cursor.movePosition(from == From::Before ? QTextCursor::End : QTextCursor::Start);
            setTextCursor(cursor);
            found = find(word, flags);
        }
        find_->setStyleSheet(found ? QString() : QStringLiteral("background: #ffc0c0"));
    }

    QLineEdit *find_;
};

} // namespace

QTextBrowser *ShowGuide()
{
    static QPointer<QTextBrowser> guide;
    if (!guide) {
        guide = new GuideBrowser;
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
