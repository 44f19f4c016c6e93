#include "JobProgress.h"

#include <mutex>

double ProgressPercent(std::uint64_t position, std::uint64_t total) {
    const double percent = static_cast<double>(position) / (static_cast<double>(total) + 1.0) * 100.0;
    return percent > 100.0 ? 100.0 : percent;
}

std::optional<double> ReadJobProgress(ConversionJob& job) {
    std::lock_guard guard(job.m_lifeLock);
    if (job.m_pDecoder == nullptr) {
        return std::nullopt;
    }
    const XA_InputInfo* input = job.m_pDecoder->input.load();
    if (input == nullptr) {
        return std::nullopt;
    }
    return ProgressPercent(input->position.load(), input->size.load());
}
