// Starts a program as a child process with changes to the environment, and waits for it with a
// bound, for the end-to-end tests.
#pragma once

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <map>
#include <optional>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

class ChildProcess {
public:
    // Environment changes: a value sets the variable, nothing removes it.
    using EnvironmentChanges = std::map<std::string, std::optional<std::string>>;

    // `outputFile`, when given, receives the child's standard output and standard error.
    ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                 const EnvironmentChanges& changes = {}, const std::string& workingFolder = {},
                 const std::string& outputFile = {}) {
        std::map<std::string, std::string> environment;
        for (char** entry = environ; *entry != nullptr; ++entry) {
            std::string text = *entry;
            auto equals = text.find('=');
            if (equals != std::string::npos)
                environment[text.substr(0, equals)] = text.substr(equals + 1);
        }
        for (const auto& [name, value] : changes) {
            if (value)
                environment[name] = *value;
            else
                environment.erase(name);
        }
        std::vector<std::string> environmentText;
        for (const auto& [name, value] : environment)
            environmentText.push_back(name + "=" + value);
        std::vector<char*> envp;
        for (std::string& text : environmentText)
            envp.push_back(text.data());
        envp.push_back(nullptr);

        std::vector<std::string> argumentText{program};
        argumentText.insert(argumentText.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (std::string& text : argumentText)
            argv.push_back(text.data());
        argv.push_back(nullptr);

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        if (!workingFolder.empty())
            posix_spawn_file_actions_addchdir_np(&actions, workingFolder.c_str());
        if (!outputFile.empty()) {
            posix_spawn_file_actions_addopen(&actions, 1, outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                             0600);
            posix_spawn_file_actions_adddup2(&actions, 1, 2);
        }
        m_started = std::chrono::steady_clock::now();
        if (posix_spawn(&m_pid, program.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
    }

    ~ChildProcess() {
        if (Running()) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
    }

    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return m_pid > 0; }

    bool Running() {
        if (m_pid <= 0 || m_status)
            return false;
        int status = 0;
        if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_status = status;
            m_ended = std::chrono::steady_clock::now();
            return false;
        }
        return true;
    }

    // The exit status once the process has ended within `bound`; nothing when it still runs or
    // was ended by a signal.
    std::optional<int> WaitForExit(std::chrono::milliseconds bound = std::chrono::seconds(30)) {
        auto deadline = std::chrono::steady_clock::now() + bound;
        while (Running() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        if (!m_status || !WIFEXITED(*m_status))
            return std::nullopt;
        return WEXITSTATUS(*m_status);
    }

    // From the start to the moment the end was seen.
    std::chrono::milliseconds Lifetime() const {
        return std::chrono::duration_cast<std::chrono::milliseconds>(m_ended - m_started);
    }

private:
    pid_t m_pid = -1;
    std::optional<int> m_status;
    std::chrono::steady_clock::time_point m_started;
    std::chrono::steady_clock::time_point m_ended;
};

// Polls `condition` every few milliseconds until it holds or `bound` has passed.
template <typename Condition>
bool Eventually(Condition condition, std::chrono::milliseconds bound = std::chrono::seconds(30)) {
    auto deadline = std::chrono::steady_clock::now() + bound;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}
