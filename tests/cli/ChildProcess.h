// Runs a program with arguments, collects its standard output and error and its exit status,
// and kills it when it does not end in time.
#pragma once

#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

struct ChildResult {
    bool exited = false;   // ended by exit(), not by a signal or the time limit
    int exitStatus = -1;   // when exited
    int signal = 0;        // the signal that ended it, otherwise 0
    bool timedOut = false; // killed after the time limit
    std::string out;
    std::string err;
};

class ChildProcess {
public:
    explicit ChildProcess(const std::vector<std::string>& command);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    void SendSignal(int signal) const;
    // Reads its output until its standard error holds `text`; false when it ended or `limit`
    // passed first.
    bool WaitForError(const std::string& text, std::chrono::milliseconds limit = std::chrono::seconds(30));
    // Reads its output until it ends, at most `limit` long; then the result.
    ChildResult Wait(std::chrono::milliseconds limit = std::chrono::seconds(60));

private:
    // Reads what is there or comes before `deadline`; false once both outputs are closed or the
    // deadline has passed.
    bool ReadSome(std::chrono::steady_clock::time_point deadline);

    pid_t m_pid = -1;
    int m_out = -1;
    int m_err = -1;
    std::string m_outText;
    std::string m_errText;
};

inline ChildResult RunChild(const std::vector<std::string>& command) {
    return ChildProcess(command).Wait();
}
