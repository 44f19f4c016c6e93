// One MP3 file that waits to be, or is being, converted into one WAV file. A job is the item
// data of one row of the job list; the UI thread and the job's worker thread share it.
#pragma once

#include "Thread.h"
#include "decoder.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

inline constexpr std::uint32_t JOB_SIGNATURE = 2112;

struct ConversionJob {
    ConversionJob();
    ~ConversionJob();
    ConversionJob(const ConversionJob&) = delete;
    ConversionJob& operator=(const ConversionJob&) = delete;

    std::atomic<std::uint32_t> m_nSignature{JOB_SIGNATURE};
    // Nonzero while a worker runs for the job.
    std::atomic<ThreadHandle> m_hThread{0};
    // Written by the worker and read by the queue tick, both only while holding m_lifeLock.
    XA_DecoderInfo* m_pDecoder = nullptr;
    // Set once before any worker exists; read-only afterwards.
    std::string m_strSource;
    std::string m_strDest;
    std::atomic<int> m_bAbort{0};
    std::atomic<int> m_bDone{0};

    // Held by the worker while it creates, closes or deletes its decoder and while it makes its
    // last writes (done, no thread); held by the UI thread while it reads progress, decides to
    // start a worker, or frees a done job. It rules out the three end-of-life races between them.
    std::mutex m_lifeLock;
};
