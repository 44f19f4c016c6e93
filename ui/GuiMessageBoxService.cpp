#include "GuiMessageBoxService.h"

#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QThread>
#include <algorithm>

namespace {

constexpr int kCascadeStep = 28;

} // namespace

GuiMessageBoxService::GuiMessageBoxService(QString caption) : m_caption(std::move(caption)) {}

GuiMessageBoxService::~GuiMessageBoxService() {
    Close();
}

void GuiMessageBoxService::Close() {
    std::vector<std::shared_ptr<Request>> requests;
    {
        std::lock_guard guard(m_lock);
        m_closing = true;
        requests = m_requests;
    }
    for (const auto& request : requests) {
        delete request->box;
        Answer(request, IDOK);
    }
    std::unique_lock guard(m_lock);
    m_changed.wait(guard, [this] { return m_waitingThreads == 0; });
}

int GuiMessageBoxService::Show(const std::string& text, UINT /*type*/, const std::string& subject) {
    auto request = std::make_shared<Request>();
    request->text = QString::fromLocal8Bit(text);
    request->subject = QFile::decodeName(subject.c_str());

    if (QThread::currentThread() == thread()) {
        // Asked on the UI thread itself: nobody else could show the box, so it runs here.
        std::unique_ptr<QMessageBox> box(MakeBox(*request));
        box->exec();
        return IDOK;
    }

    std::unique_lock guard(m_lock);
    if (m_closing) {
        return IDOK;
    }
    m_requests.push_back(request);
    ++m_waitingThreads;
    QMetaObject::invokeMethod(
        this, [this, request] { Open(request); }, Qt::QueuedConnection);
    m_changed.wait(guard, [&request] { return request->answered; });
    --m_waitingThreads;
    const int result = request->result;
    guard.unlock();
    m_changed.notify_all();
    return result;
}

std::vector<QMessageBox*> GuiMessageBoxService::OpenBoxes() const {
    std::lock_guard guard(m_lock);
    std::vector<QMessageBox*> boxes;
    for (const auto& request : m_requests) {
        if (request->box != nullptr) {
            boxes.push_back(request->box);
        }
    }
    return boxes;
}

QMessageBox* GuiMessageBoxService::MakeBox(const Request& request) const {
    auto* box = new QMessageBox(QMessageBox::Warning, m_caption, request.text, QMessageBox::Ok);
    box->setTextFormat(Qt::PlainText);
    box->setInformativeText(request.subject);
    // A file name is never markup, whatever characters it holds.
    if (auto* subjectLabel = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel"))) {
        subjectLabel->setTextFormat(Qt::PlainText);
    }
    return box;
}

void GuiMessageBoxService::Open(const std::shared_ptr<Request>& request) {
    QMessageBox* box = MakeBox(*request);
    QMessageBox* newestOpen = nullptr;
    {
        std::lock_guard guard(m_lock);
        if (request->answered) {
            delete box;
            return;
        }
        for (const auto& other : m_requests) {
            newestOpen = other->box != nullptr ? other->box : newestOpen;
        }
        request->box = box;
    }
    if (newestOpen != nullptr) {
        // Cascaded, so that every box that is up can be seen.
        box->adjustSize();
        box->move(newestOpen->geometry().topLeft() + QPoint(kCascadeStep, kCascadeStep));
    }
    box->setModal(false);
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(box, &QMessageBox::finished, this, [this, request] { Answer(request, IDOK); });
    box->show();
}

void GuiMessageBoxService::Answer(const std::shared_ptr<Request>& request, int result) {
    {
        std::lock_guard guard(m_lock);
        request->answered = true;
        request->result = result;
        request->box = nullptr;
        std::erase(m_requests, request);
    }
    m_changed.notify_all();
}
