#include "WindowListener.h"

#include "WindowMessageRecord.h"

#include <cerrno>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

// Connections served at once; more wait in the socket's backlog until one ends.
constexpr std::size_t kMaxConnections = 256;

struct Connection {
    int socket;
    std::vector<std::byte> pending; // bytes of a record not yet complete
};

bool IsFromThisUser(int socket) {
    ucred credentials{};
    socklen_t length = sizeof credentials;
    if (getsockopt(socket, SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0)
        return false;
    return credentials.uid == geteuid();
}

// Reads what the connection has and delivers its complete records. False when the connection is
// over: closed by the peer, failed, or sending something that is not a message record.
bool ServeConnection(Connection& connection, WindowMessageSink& sink) {
    std::byte buffer[4096];
    ssize_t received = recv(connection.socket, buffer, sizeof buffer, MSG_DONTWAIT);
    if (received < 0)
        return errno == EAGAIN || errno == EINTR;
    if (received == 0)
        return false;
    connection.pending.insert(connection.pending.end(), buffer, buffer + received);
    std::size_t offset = 0;
    for (; connection.pending.size() - offset >= kWindowMessageRecordSize;
         offset += kWindowMessageRecordSize) {
        std::span<const std::byte, kWindowMessageRecordSize> record(connection.pending.data() + offset,
                                                                    kWindowMessageRecordSize);
        auto message = DecodeWindowMessage(record);
        if (!message)
            return false;
        sink.PostToWindow(message->message, message->wParam, message->lParam);
    }
    connection.pending.erase(connection.pending.begin(),
                             connection.pending.begin() + static_cast<std::ptrdiff_t>(offset));
    return true;
}

} // namespace

WindowListener::WindowListener(int listeningSocket, int stopEvent, WindowMessageSink& sink)
    : m_listeningSocket(listeningSocket), m_stopEvent(stopEvent), m_sink(sink),
      m_thread(&WindowListener::Run, this) {}

WindowListener::~WindowListener() {
    eventfd_write(m_stopEvent, 1);
    m_thread.join();
    close(m_stopEvent);
    close(m_listeningSocket);
}

void WindowListener::Run() {
    std::vector<Connection> connections;
    std::vector<pollfd> watched;
    for (;;) {
        watched.clear();
        watched.push_back({m_stopEvent, POLLIN, 0});
        bool accepting = connections.size() < kMaxConnections;
        watched.push_back({accepting ? m_listeningSocket : -1, POLLIN, 0});
        for (const Connection& connection : connections)
            watched.push_back({connection.socket, POLLIN, 0});
        if (poll(watched.data(), watched.size(), -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (watched[0].revents != 0)
            break;
        // The connections polled this round first (backwards, so that ending one does not shift
        // the ones still to be served), then a new one, which is polled from the next round on.
        for (std::size_t index = watched.size() - 2; index-- > 0;) {
            if (watched[index + 2].revents == 0)
                continue;
            if (!ServeConnection(connections[index], m_sink)) {
                close(connections[index].socket);
                connections.erase(connections.begin() + static_cast<std::ptrdiff_t>(index));
            }
        }
        if (watched[1].revents & POLLIN) {
            int socket = accept4(m_listeningSocket, nullptr, nullptr, SOCK_CLOEXEC);
            if (socket >= 0 && IsFromThisUser(socket))
                connections.push_back({socket, {}});
            else if (socket >= 0)
                close(socket);
        }
    }
    for (const Connection& connection : connections)
        close(connection.socket);
}
