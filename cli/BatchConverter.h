// Converts a list of MP3 files with the engine's worker, at most N at once, in the order given.
#pragma once

#include "DestinationFolder.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

struct RunningJob {
    const std::string* source;
    std::optional<double> percent; // nothing until the decoder has its input
};

// What the converter tells the user, always from the thread that called ConvertBatch.
class BatchReporter {
public:
    virtual ~BatchReporter() = default;
    virtual void JobFailed(const std::string& source, const std::string& text) = 0;
    // The batch was interrupted: the running workers have just been asked to stop.
    virtual void Stopping() = 0;
    // The jobs now running, in the order they started; called a few times a second.
    virtual void ShowRunning(const std::vector<RunningJob>& running) = 0;
};

struct BatchOutcome {
    std::size_t converted = 0;
    std::size_t failed = 0;
    bool interrupted = false; // the rest was stopped or never started
};

// Names every destination (unique within the batch, never one of the sources), creates the
// destination folder, and runs the workers. Once `interrupted` says so, running workers are
// asked to stop, no further one starts, and the call returns when every worker has ended, so
// each file written has a valid header.
BatchOutcome ConvertBatch(const std::vector<std::string>& sources, const DestinationFolder& folder,
                          unsigned int maxRunning, BatchReporter& reporter,
                          const std::function<bool()>& interrupted);
