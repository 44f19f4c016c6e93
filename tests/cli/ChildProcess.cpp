#include "ChildProcess.h"

#include <array>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

ChildProcess::ChildProcess(const std::vector<std::string>& command) {
    std::array<int, 2> out{};
    std::array<int, 2> err{};
    if (pipe2(out.data(), O_CLOEXEC) != 0 || pipe2(err.data(), O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
    std::vector<char*> argv;
    for (const auto& argument : command) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    const int rc = posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    close(err[1]);
    m_out = out[0];
    m_err = err[0];
    if (rc != 0) {
        m_pid = -1;
        throw std::runtime_error("cannot start " + command.front());
    }
}

ChildProcess::~ChildProcess() {
    if (m_pid > 0) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }
    if (m_out >= 0) {
        close(m_out);
    }
    if (m_err >= 0) {
        close(m_err);
    }
}

void ChildProcess::SendSignal(int signal) const {
    kill(m_pid, signal);
}

bool ChildProcess::ReadSome(std::chrono::steady_clock::time_point deadline) {
    std::array<pollfd, 2> fds{pollfd{m_out, POLLIN, 0}, pollfd{m_err, POLLIN, 0}};
    if (m_out < 0 && m_err < 0) {
        return false;
    }
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
        return false;
    }
    if (poll(fds.data(), fds.size(), static_cast<int>(left.count())) <= 0) {
        return true;
    }
    std::array<int*, 2> ends{&m_out, &m_err};
    std::array<std::string*, 2> sinks{&m_outText, &m_errText};
    for (std::size_t i = 0; i < fds.size(); ++i) {
        if (fds[i].fd < 0 || fds[i].revents == 0) {
            continue;
        }
        std::array<char, 4096> buffer{};
        const ssize_t got = read(fds[i].fd, buffer.data(), buffer.size());
        if (got > 0) {
            sinks[i]->append(buffer.data(), static_cast<std::size_t>(got));
        } else {
            close(*ends[i]);
            *ends[i] = -1;
        }
    }
    return true;
}

bool ChildProcess::WaitForError(const std::string& text, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (m_errText.find(text) == std::string::npos) {
        if (!ReadSome(deadline)) {
            return false;
        }
    }
    return true;
}

ChildResult ChildProcess::Wait(std::chrono::milliseconds limit) {
    ChildResult result;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (ReadSome(deadline)) {
    }
    if (m_out >= 0 || m_err >= 0) {
        result.timedOut = true;
        kill(m_pid, SIGKILL);
    }
    int status = 0;
    waitpid(m_pid, &status, 0);
    m_pid = -1;
    result.exited = !result.timedOut && WIFEXITED(status);
    result.exitStatus = result.exited ? WEXITSTATUS(status) : -1;
    result.signal = WIFSIGNALED(status) && !result.timedOut ? WTERMSIG(status) : 0;
    result.out = std::move(m_outText);
    result.err = std::move(m_errText);
    return result;
}
