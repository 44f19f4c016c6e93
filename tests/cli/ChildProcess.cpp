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
    close(m_out);
    close(m_err);
}

void ChildProcess::SendSignal(int signal) const {
    kill(m_pid, signal);
}

ChildResult ChildProcess::Wait(std::chrono::milliseconds limit) {
    ChildResult result;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    std::array<pollfd, 2> fds{pollfd{m_out, POLLIN, 0}, pollfd{m_err, POLLIN, 0}};
    std::array<std::string*, 2> sinks{&result.out, &result.err};
    while (fds[0].fd >= 0 || fds[1].fd >= 0) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            result.timedOut = true;
            kill(m_pid, SIGKILL);
            break;
        }
        if (poll(fds.data(), fds.size(), static_cast<int>(left.count())) < 0) {
            continue;
        }
        for (std::size_t i = 0; i < fds.size(); ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) {
                continue;
            }
            std::array<char, 4096> buffer{};
            const ssize_t got = read(fds[i].fd, buffer.data(), buffer.size());
            if (got > 0) {
                sinks[i]->append(buffer.data(), static_cast<std::size_t>(got));
            } else {
                fds[i].fd = -1;
            }
        }
    }
    int status = 0;
    waitpid(m_pid, &status, 0);
    m_pid = -1;
    result.exited = !result.timedOut && WIFEXITED(status);
    result.exitStatus = result.exited ? WEXITSTATUS(status) : -1;
    result.signal = WIFSIGNALED(status) && !result.timedOut ? WTERMSIG(status) : 0;
    return result;
}
