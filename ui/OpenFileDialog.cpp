// The "&New..." button: MP3 files chosen in the open-file dialog become jobs.
#include "CConverterDlg.h"

#include <QFile>
#include <QFileDialog>

void CConverterDlg::OnNew() {
    QFileDialog dialog(nullptr, QString(), QString(), QStringLiteral("Music Files (*.mp3)"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    for (const QString& file : dialog.selectedFiles()) {
        AddSourceFile(QFile::encodeName(file).toStdString());
    }
}
