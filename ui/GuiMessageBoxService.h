// Message boxes for the worker threads of the tray program: each request becomes a non-modal
// warning box on the UI thread, and the asking thread waits until the user dismisses it. Several
// boxes can be up at once; the UI thread never waits for them.
#pragma once

#include "MessageBox.h"

#include <QObject>
#include <QString>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

class QMessageBox;

class GuiMessageBoxService : public QObject, public MessageBoxService {
public:
    explicit GuiMessageBoxService(QString caption);
    ~GuiMessageBoxService() override;

    // Dismisses every box that is up or asked for, answers every later request at once, and
    // returns once every asking thread has left Show.
    void Close();

    // The text stays as it is; `subject` (the job's source file) is shown under it.
    int Show(const std::string& text, UINT type, const std::string& subject) override;

    // The boxes that are up, oldest first.
    std::vector<QMessageBox*> OpenBoxes() const;

private:
    struct Request {
        QString text;
        QString subject;
        QMessageBox* box = nullptr;
        bool answered = false;
        int result = IDOK;
    };

    QMessageBox* MakeBox(const Request& request) const;
    void Open(const std::shared_ptr<Request>& request);
    void Answer(const std::shared_ptr<Request>& request, int result);

    const QString m_caption;
    mutable std::mutex m_lock;
    std::condition_variable m_changed;
    std::vector<std::shared_ptr<Request>> m_requests;
    int m_waitingThreads = 0;
    bool m_closing = false;
};
