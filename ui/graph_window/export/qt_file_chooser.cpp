// SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt_file_chooser.h"

#include "italian_file_list.h"

#include "ui/window_texts.h"

#include "core/platform/file_saving.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace {

// Qt's dialog adds the suffix to a name typed without one; this one also to a name typed with
// another ("dati.csv" in the workbook's dialog becomes "dati.csv.xlsx"), before Qt asks whether
// to replace a file of that name, so that a file's name always says what it holds.
class SuffixedDialog : public QFileDialog
{
public:
    using QFileDialog::QFileDialog;

    void accept() override
    {
        auto *name = findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        const QString suffix = defaultSuffix();
        if (name && !suffix.isEmpty()) {
            const QString typed = name->text();
            const QFileInfo file(directory(), typed);
            if (!typed.isEmpty() && !file.isDir()
                && file.suffix().compare(suffix, Qt::CaseInsensitive) != 0)
                name->setText(typed + u'.' + suffix);
        }
        QFileDialog::accept();
    }
};

} // namespace

std::unique_ptr<QFileDialog> QtFileChooser::SaveDialog(QWidget *parent, const QString &title,
                                                       const QString &suggested,
                                                       const QString &filter)
{
    auto dialog = std::make_unique<SuffixedDialog>(parent, title, suggested, filter);
    dialog->setProxyModel(new ItalianFileList(dialog.get()));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setDefaultSuffix(QFileInfo(suggested).suffix());
    dialog->selectFile(suggested);
    // Qt's own dialog disables Save for a name longer than the file system takes, and says
    // nothing; a platform's native dialog has no such parts and speaks for itself.
    auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    auto *grid = qobject_cast<QGridLayout *>(dialog->layout());
    if (name && grid) {
        auto *hint = new QLabel(QTextOf(UiText::NameTooLongHint));
        hint->setObjectName("NameTooLongHint");
        hint->setWordWrap(true);
        hint->setStyleSheet(QStringLiteral("color: #a00000"));
        hint->hide();
        grid->addWidget(hint, grid->rowCount(), 0, 1, grid->columnCount());
        QObject::connect(name, &QLineEdit::textChanged, hint, [hint](const QString &text) {
            hint->setVisible(NameTooLong(QFileInfo(text).fileName().toStdString()));
        });
    }
    return dialog;
}

QString QtFileChooser::SaveFileName(QWidget *parent, const QString &title, const QString &suggested,
                                    const QString &filter)
{
    const auto dialog = SaveDialog(parent, title, suggested, filter);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return {};
    return dialog->selectedFiles().first();
}
