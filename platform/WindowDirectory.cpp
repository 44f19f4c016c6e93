// The window directory: handles of this process's windows and of other copies' windows, the
// sockets behind them, and the delivery of posted messages.
#include "RuntimeFolder.h"
#include "Window.h"
#include "WindowListener.h"
#include "WindowMessageRecord.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <mutex>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

struct WindowHandle {
    std::string caption;
    // A window of this process: its sink and the listener that serves its socket.
    WindowMessageSink* sink = nullptr;
    std::unique_ptr<WindowListener> listener;
    // Another copy's window: the connection to it, or -1.
    int connection = -1;

    ~WindowHandle() {
        if (connection >= 0)
            close(connection);
    }
};

namespace {

std::mutex g_windowsMutex;
std::vector<std::unique_ptr<WindowHandle>> g_windows; // every live handle; guarded by g_windowsMutex

// The caption, kept to letters, digits, '.', '_' and '-'; every other byte as %XX.
std::string SocketName(const std::string& caption) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string name;
    for (unsigned char ch : caption) {
        bool plain = (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') ||
                     ch == '.' || ch == '_' || ch == '-';
        if (plain) {
            name += static_cast<char>(ch);
        } else {
            name += '%';
            name += kHex[ch >> 4];
            name += kHex[ch & 0xF];
        }
    }
    return name + ".window";
}

// The socket address for a caption; false when there is no runtime folder or the path is too long.
bool SocketAddress(const std::string& caption, sockaddr_un& address, std::string& path) {
    path = RuntimePath(SocketName(caption));
    address = {};
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

const sockaddr* AsSocketAddress(const sockaddr_un& address) {
    return reinterpret_cast<const sockaddr*>(&address);
}

WindowHandle* FindLive(HWND window) {
    auto found =
        std::find_if(g_windows.begin(), g_windows.end(),
                     [window](const std::unique_ptr<WindowHandle>& live) { return live.get() == window; });
    return found == g_windows.end() ? nullptr : found->get();
}

bool ConnectionIsOpen(int connection) {
    // The listener never writes, so a connection that polls readable has been closed by it.
    pollfd watched{connection, POLLIN | POLLRDHUP, 0};
    return poll(&watched, 1, 0) == 0;
}

// Connects to the window socket of `caption`; removes the socket when nobody listens on it.
int ConnectToWindow(const std::string& caption) {
    sockaddr_un address;
    std::string path;
    if (!SocketAddress(caption, address, path))
        return -1;
    int connection = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (connection < 0)
        return -1;
    struct stat before {};
    bool existed = lstat(path.c_str(), &before) == 0;
    if (connect(connection, AsSocketAddress(address), sizeof address) == 0)
        return connection;
    int error = errno;
    close(connection);
    struct stat now {};
    // Only the socket that refused us goes: a copy may have replaced it in the meantime.
    if (error == ECONNREFUSED && existed && lstat(path.c_str(), &now) == 0 && now.st_ino == before.st_ino &&
        now.st_dev == before.st_dev)
        unlink(path.c_str());
    return -1;
}

int ListenOn(const std::string& caption) {
    sockaddr_un address;
    std::string path;
    if (!SocketAddress(caption, address, path))
        return -1;
    int listening = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listening < 0)
        return -1;
    // The caller found no window listening here, so whatever the path holds is stale.
    unlink(path.c_str());
    if (bind(listening, AsSocketAddress(address), sizeof address) != 0 || chmod(path.c_str(), 0600) != 0 ||
        listen(listening, SOMAXCONN) != 0) {
        close(listening);
        return -1;
    }
    return listening;
}

} // namespace

WindowDirectoryLock::WindowDirectoryLock() : m_lock(RuntimePath("windows.lock"), FileLock::Wait::Block) {}

HWND CreateWindowEntry(const std::string& caption, WindowMessageSink& sink) {
    int listening = ListenOn(caption);
    if (listening < 0)
        return nullptr;
    int stopEvent = eventfd(0, EFD_CLOEXEC);
    if (stopEvent < 0) {
        close(listening);
        return nullptr;
    }
    auto window = std::make_unique<WindowHandle>();
    window->caption = caption;
    window->sink = &sink;
    window->listener = std::make_unique<WindowListener>(listening, stopEvent, sink);
    std::lock_guard lock(g_windowsMutex);
    g_windows.push_back(std::move(window));
    return g_windows.back().get();
}

void DestroyWindowEntry(HWND window) {
    std::unique_ptr<WindowHandle> removed;
    {
        std::lock_guard lock(g_windowsMutex);
        auto found = std::find_if(g_windows.begin(), g_windows.end(), [window](const auto& live) {
            return live.get() == window && live->sink != nullptr;
        });
        if (found == g_windows.end())
            return;
        removed = std::move(*found);
        g_windows.erase(found);
    }
    sockaddr_un address;
    std::string path;
    if (SocketAddress(removed->caption, address, path))
        unlink(path.c_str());
    // Destroying the listener outside the lock: its thread may be inside the sink right now.
    removed.reset();
}

HWND FindWindowA(LPCSTR /*className*/, LPCSTR caption) {
    if (caption == nullptr)
        return nullptr;
    std::lock_guard lock(g_windowsMutex);
    for (const auto& live : g_windows) {
        if (live->caption != caption)
            continue;
        if (live->sink != nullptr || ConnectionIsOpen(live->connection))
            return live.get();
    }
    int connection = ConnectToWindow(caption);
    if (connection < 0)
        return nullptr;
    auto window = std::make_unique<WindowHandle>();
    window->caption = caption;
    window->connection = connection;
    g_windows.push_back(std::move(window));
    return g_windows.back().get();
}

BOOL IsWindow(HWND window) {
    std::lock_guard lock(g_windowsMutex);
    const WindowHandle* live = FindLive(window);
    return live != nullptr && (live->sink != nullptr || ConnectionIsOpen(live->connection));
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    std::lock_guard lock(g_windowsMutex);
    WindowHandle* live = FindLive(window);
    if (live == nullptr)
        return FALSE;
    if (live->sink != nullptr) {
        live->sink->PostToWindow(message, wParam, lParam);
        return TRUE;
    }
    WindowMessageRecord record = EncodeWindowMessage({message, wParam, lParam});
    std::size_t sent = 0;
    while (sent < record.size()) {
        ssize_t result = send(live->connection, record.data() + sent, record.size() - sent, MSG_NOSIGNAL);
        if (result < 0 && errno == EINTR)
            continue;
        if (result <= 0)
            return FALSE;
        sent += static_cast<std::size_t>(result);
    }
    return TRUE;
}
