// How far a running job has got, as the job list and the command-line converter show it.
#pragma once

#include "ConversionJob.h"

#include <cstdint>
#include <optional>

// position / (total + 1) * 100, capped at 100: reaches 100 only once the position passes the total.
double ProgressPercent(std::uint64_t position, std::uint64_t total);

// The job's percentage, or nothing while it has no decoder or its decoder no input yet.
// Takes the job's life lock, so the decoder cannot go away during the read.
std::optional<double> ReadJobProgress(ConversionJob& job);
