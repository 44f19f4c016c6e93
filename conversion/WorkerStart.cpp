#include "WorkerStart.h"

#include "ConversionWorker.h"

#include <mutex>

ThreadHandle StartWorkerThread(ConversionJob& job, ThreadFunction function, void* argument) {
    if (function == nullptr) {
        function = ConversionWorker;
        argument = &job;
    }
    std::lock_guard guard(job.m_lifeLock);
    job.m_hThread = BeginThread(function, argument);
    return job.m_hThread;
}
