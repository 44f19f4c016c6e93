// Starting a job's worker thread.
#pragma once

#include "ConversionJob.h"
#include "Thread.h"

// Starts `function(argument)` (by default ConversionWorker on `job`) and stores the handle in the
// job's m_hThread. The store is made under the job's life lock, which the worker takes before its
// last writes, so a worker that ends at once cannot clear m_hThread before it is stored. Returns
// the handle, 0 when no thread could be started.
ThreadHandle StartWorkerThread(ConversionJob& job, ThreadFunction function = nullptr,
                               void* argument = nullptr);
