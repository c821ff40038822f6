// The program's save dialog: a QFileDialog that adds the suggested name's suffix when the user
// types a name without one.
#pragma once

#include "file_chooser.h"

class QtFileChooser : public FileChooser
{
public:
    QString SaveFileName(QWidget *parent, const QString &title, const QString &suggested,
                         const QString &filter) override;
};
