#include "qt_file_chooser.h"

#include <QFileDialog>
#include <QFileInfo>

QString QtFileChooser::SaveFileName(QWidget *parent, const QString &title, const QString &suggested,
                                    const QString &filter)
{
    QFileDialog dialog(parent, title, suggested, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QFileInfo(suggested).suffix());
    dialog.selectFile(suggested);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}
