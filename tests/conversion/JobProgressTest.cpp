#include "JobProgress.h"

#include "ConversionJob.h"

#include <array>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>

namespace {

std::string Formatted(double percent) {
    std::array<char, 16> text{};
    std::snprintf(text.data(), text.size(), "%.1f", percent);
    return text.data();
}

TEST(JobProgress, PercentOfPositionOverTotalPlusOne) {
    struct ProgressCase {
        std::uint64_t position;
        std::uint64_t total;
        const char* expected;
    };
    const std::array cases{
        ProgressCase{425, 999, "42.5"},    ProgressCase{1000, 1000, "99.9"},
        ProgressCase{2000, 1000, "100.0"}, ProgressCase{0, 0, "0.0"},
        ProgressCase{5, 0, "100.0"},       ProgressCase{0xFFFFFFFFull, 0xFFFFFFFFull, "100.0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.position) + "/" + std::to_string(c.total));
        const double percent = ProgressPercent(c.position, c.total);
        EXPECT_EQ(Formatted(percent), c.expected);
        EXPECT_LE(percent, 100.0);
    }
}

TEST(JobProgress, NewJobIsPendingWithoutProgress) {
    ConversionJob job;
    EXPECT_EQ(job.m_nSignature, JOB_SIGNATURE);
    EXPECT_EQ(job.m_hThread, 0u);
    EXPECT_EQ(job.m_pDecoder, nullptr);
    EXPECT_TRUE(job.m_strSource.empty());
    EXPECT_TRUE(job.m_strDest.empty());
    EXPECT_EQ(job.m_bAbort, 0);
    EXPECT_EQ(job.m_bDone, 0);
    EXPECT_FALSE(ReadJobProgress(job).has_value());
}

} // namespace
