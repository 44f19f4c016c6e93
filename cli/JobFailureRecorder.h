// Tells, per job, whether its worker reported a failure: the message boxes of a worker that runs
// through RunWorker are kept as that job's failure text instead of being shown.
#pragma once

#include "ConversionJob.h"
#include "MessageBox.h"

#include <string>

class JobFailureRecorder : public MessageBoxService {
public:
    // Runs the job's worker on the calling thread; the text of a failure it reports lands in
    // `failure`, which stays empty after a conversion without one.
    static void RunWorker(ConversionJob& job, std::string& failure);

    // From a worker run by RunWorker: records the text and returns at once. From any other
    // thread: one line on standard error.
    int Show(const std::string& text, UINT type, const std::string& subject) override;
};
