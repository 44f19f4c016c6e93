// MP3 files dropped onto the main window become jobs, in the order given; anything else is ignored.
#include "CConverterDlg.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

namespace {

// The local MP3 files among the dropped items, in their order.
QStringList DroppedMp3Files(const QMimeData* data) {
    QStringList files;
    if (data == nullptr || !data->hasUrls()) {
        return files;
    }
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile()) {
            continue;
        }
        const QFileInfo file(url.toLocalFile());
        if (file.suffix().compare(QLatin1String("mp3"), Qt::CaseInsensitive) == 0 && !file.isDir()) {
            files.append(file.absoluteFilePath());
        }
    }
    return files;
}

} // namespace

void CConverterDlg::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedMp3Files(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void CConverterDlg::dropEvent(QDropEvent* event) {
    const QStringList files = DroppedMp3Files(event->mimeData());
    if (files.isEmpty()) {
        return;
    }
    event->acceptProposedAction();
    for (const QString& file : files) {
        AddSourceFile(QFile::encodeName(file).toStdString());
    }
}
