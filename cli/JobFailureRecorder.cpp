#include "JobFailureRecorder.h"

#include "ConsoleMessageBox.h"
#include "ConversionWorker.h"

namespace {

// The failure text of the job whose worker runs on this thread.
thread_local std::string* t_failure = nullptr;

} // namespace

void JobFailureRecorder::RunWorker(ConversionJob& job, std::string& failure) {
    t_failure = &failure;
    ConversionWorker(&job);
    t_failure = nullptr;
}

int JobFailureRecorder::Show(const std::string& text, UINT type, const std::string& subject) {
    if (t_failure == nullptr) {
        static ConsoleMessageBoxService console;
        return console.Show(text, type, subject);
    }
    if (t_failure->empty()) {
        *t_failure = text;
    }
    return IDOK;
}
