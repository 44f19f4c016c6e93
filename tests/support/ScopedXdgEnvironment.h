// Points the per-user folders (XDG_CONFIG_HOME, XDG_DATA_HOME, XDG_RUNTIME_DIR) and the system
// registry (LARKSPUR_SYSTEM_REGISTRY) into a fresh temporary folder for the life of the object,
// so a test never touches the real user's files. The previous values come back on destruction
// and the folder is removed.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <utility>
#include <vector>

class ScopedXdgEnvironment {
public:
    ScopedXdgEnvironment() {
        std::string pattern = (std::filesystem::temp_directory_path() / "larkspur-test-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot make a temporary folder from " + pattern);
        }
        root_ = pattern;
        std::filesystem::create_directories(ConfigHome());
        std::filesystem::create_directories(DataHome());
        std::filesystem::create_directories(RuntimeDir());
        std::filesystem::create_directories(SystemRegistry().parent_path());
        ::chmod(RuntimeDir().c_str(), 0700);
        Set("XDG_CONFIG_HOME", ConfigHome());
        Set("XDG_DATA_HOME", DataHome());
        Set("XDG_RUNTIME_DIR", RuntimeDir());
        Set("LARKSPUR_SYSTEM_REGISTRY", SystemRegistry());
    }

    ~ScopedXdgEnvironment() {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            if (it->second) {
                ::setenv(it->first.c_str(), it->second->c_str(), 1);
            } else {
                ::unsetenv(it->first.c_str());
            }
        }
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }

    ScopedXdgEnvironment(const ScopedXdgEnvironment&) = delete;
    ScopedXdgEnvironment& operator=(const ScopedXdgEnvironment&) = delete;

    const std::filesystem::path& Root() const { return root_; }
    std::filesystem::path ConfigHome() const { return root_ / "config"; }
    std::filesystem::path DataHome() const { return root_ / "data"; }
    std::filesystem::path RuntimeDir() const { return root_ / "runtime"; }
    std::filesystem::path SystemRegistry() const { return root_ / "system" / "registry.sqlite3"; }
    std::filesystem::path UserRegistry() const { return ConfigHome() / "larkspur" / "registry.sqlite3"; }

    // Sets one more variable for the life of the object.
    void Set(const std::string& name, const std::filesystem::path& value) {
        const char* previous = std::getenv(name.c_str());
        saved_.emplace_back(name, previous ? std::optional<std::string>(previous) : std::nullopt);
        ::setenv(name.c_str(), value.c_str(), 1);
    }

private:
    std::filesystem::path root_;
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};
