#include "DetachedProcess.h"

#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace {

// The program's own signal dispositions and mask are not the child's business.
class CleanSpawnAttributes {
public:
    CleanSpawnAttributes() {
        posix_spawnattr_init(&m_attributes);
        sigset_t defaults;
        sigfillset(&defaults);
        sigset_t emptyMask;
        sigemptyset(&emptyMask);
        posix_spawnattr_setsigdefault(&m_attributes, &defaults);
        posix_spawnattr_setsigmask(&m_attributes, &emptyMask);
        posix_spawnattr_setflags(&m_attributes,
                                 POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSID);
    }
    ~CleanSpawnAttributes() { posix_spawnattr_destroy(&m_attributes); }
    CleanSpawnAttributes(const CleanSpawnAttributes&) = delete;
    CleanSpawnAttributes& operator=(const CleanSpawnAttributes&) = delete;

    const posix_spawnattr_t* get() const { return &m_attributes; }

private:
    posix_spawnattr_t m_attributes;
};

} // namespace

bool StartDetachedProcess(const std::vector<std::string>& arguments) {
    if (arguments.empty() || arguments.front().empty()) {
        return false;
    }
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);

    const CleanSpawnAttributes attributes;
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv.front(), nullptr, attributes.get(), argv.data(), environ) != 0) {
        return false;
    }
    // Nobody waits for the browser; this keeps it from lingering as a zombie once it ends.
    std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();
    return true;
}
