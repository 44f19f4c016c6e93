#include "RecordingWindowSink.h"
#include "RuntimeFolder.h"
#include "ScopedXdgEnvironment.h"
#include "Window.h"
#include "WindowMessageRecord.h"

#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr char kCaption[] = "Larkspur!";

class WindowDirectory : public testing::Test {
protected:
    std::string SocketPath() const {
        return (m_environment.RuntimeDir() / "larkspur" / "Larkspur%21.window").string();
    }

    sockaddr_un Address() const {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::string path = SocketPath();
        std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
        return address;
    }

    // A connection made the way another program would, to feed the window raw bytes.
    int RawConnection() const {
        int connection = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address = Address();
        EXPECT_EQ(connect(connection, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        return connection;
    }

    static void Send(int connection, const void* bytes, std::size_t size) {
        ASSERT_EQ(send(connection, bytes, size, MSG_NOSIGNAL), static_cast<ssize_t>(size));
    }

    static void SendRecord(int connection, const WindowMessage& message) {
        WindowMessageRecord record = EncodeWindowMessage(message);
        Send(connection, record.data(), record.size());
    }

    ScopedXdgEnvironment m_environment;
    RecordingWindowSink m_sink;
};

TEST_F(WindowDirectory, AWindowOfThisProcessIsFoundAndGetsItsMessagesUntilItIsDestroyed) {
    EXPECT_EQ(FindWindowA(nullptr, kCaption), nullptr);
    HWND window = CreateWindowEntry(kCaption, m_sink);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(FindWindowA(nullptr, kCaption), window);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_TRUE(PostMessageA(window, WM_COMMAND, 1009, 0));
    EXPECT_EQ(m_sink.Messages(), (std::vector<PostedMessage>{{WM_COMMAND, 1009, 0}}));

    DestroyWindowEntry(window);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(PostMessageA(window, WM_CLOSE, 0, 0));
    EXPECT_EQ(FindWindowA(nullptr, kCaption), nullptr);
    EXPECT_FALSE(std::filesystem::exists(SocketPath()));
}

TEST_F(WindowDirectory, MessagesFromAnotherProgramArriveInOrderWhateverTheirPacketsLookLike) {
    HWND window = CreateWindowEntry(kCaption, m_sink);
    ASSERT_NE(window, nullptr);
    struct stat info {};
    ASSERT_EQ(stat(SocketPath().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    int connection = RawConnection();
    SendRecord(connection, {WM_COMMAND, 1009, 0});
    SendRecord(connection, {WM_CLOSE, 0, 0});
    // One record cut in two, then a record and a half; the half that never completes is dropped.
    WindowMessageRecord record = EncodeWindowMessage({0x8064, 0, 515});
    Send(connection, record.data(), 10);
    Send(connection, record.data() + 10, record.size() - 10);
    SendRecord(connection, {WM_COMMAND, 32869, -7});
    Send(connection, record.data(), 5);
    close(connection);

    EXPECT_EQ(m_sink.WaitFor(4),
              (std::vector<PostedMessage>{
                  {WM_COMMAND, 1009, 0}, {WM_CLOSE, 0, 0}, {0x8064, 0, 515}, {WM_COMMAND, 32869, -7}}));
    DestroyWindowEntry(window);
    EXPECT_EQ(m_sink.Messages().size(), 4u);
}

TEST_F(WindowDirectory, BytesThatAreNoMessageEndThatConnectionOnly) {
    HWND window = CreateWindowEntry(kCaption, m_sink);
    ASSERT_NE(window, nullptr);
    int garbage = RawConnection();
    char noise[64];
    std::memset(noise, 0x5A, sizeof noise);
    Send(garbage, noise, sizeof noise);
    // The listener drops the connection: the peer sees it closed.
    char ignored;
    EXPECT_EQ(recv(garbage, &ignored, 1, 0), 0);
    close(garbage);

    int good = RawConnection();
    SendRecord(good, {WM_COMMAND, 1009, 0});
    close(good);
    EXPECT_EQ(m_sink.WaitFor(1), (std::vector<PostedMessage>{{WM_COMMAND, 1009, 0}}));
    DestroyWindowEntry(window);
}

TEST_F(WindowDirectory, AnotherCopysWindowIsReachedOverItsSocket) {
    // Stands in for another copy: a socket listening under the caption.
    ASSERT_FALSE(RuntimeFolder().empty());
    int listening = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address = Address();
    ASSERT_EQ(bind(listening, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(listening, 4), 0);

    HWND window = FindWindowA(nullptr, kCaption);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_TRUE(PostMessageA(window, WM_COMMAND, 1009, 0));
    EXPECT_TRUE(PostMessageA(window, WM_CLOSE, 0, 0));

    int accepted = accept(listening, nullptr, nullptr);
    ASSERT_GE(accepted, 0);
    std::byte received[2 * kWindowMessageRecordSize];
    ASSERT_EQ(recv(accepted, received, sizeof received, MSG_WAITALL), static_cast<ssize_t>(sizeof received));
    auto first = DecodeWindowMessage(
        std::span<const std::byte, kWindowMessageRecordSize>(received, kWindowMessageRecordSize));
    auto second = DecodeWindowMessage(std::span<const std::byte, kWindowMessageRecordSize>(
        received + kWindowMessageRecordSize, kWindowMessageRecordSize));
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->message, WM_COMMAND);
    EXPECT_EQ(first->wParam, 1009u);
    EXPECT_EQ(second->message, WM_CLOSE);

    // The other copy goes away: its window is gone for IsWindow and for a new search.
    close(accepted);
    close(listening);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(FindWindowA(nullptr, kCaption), nullptr);
}

TEST_F(WindowDirectory, ASocketNobodyListensOnIsNoWindowAndIsRemoved) {
    ASSERT_FALSE(RuntimeFolder().empty());
    int dead = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address = Address();
    ASSERT_EQ(bind(dead, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    close(dead);
    ASSERT_TRUE(std::filesystem::exists(SocketPath()));

    EXPECT_EQ(FindWindowA(nullptr, kCaption), nullptr);
    EXPECT_FALSE(std::filesystem::exists(SocketPath()));
    // and a new window can take the caption
    HWND window = CreateWindowEntry(kCaption, m_sink);
    EXPECT_NE(window, nullptr);
    DestroyWindowEntry(window);
}

TEST_F(WindowDirectory, MessagesFromAnotherUserAreIgnored) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to connect as another user";
    HWND window = CreateWindowEntry(kCaption, m_sink);
    ASSERT_NE(window, nullptr);
    // Let the other user reach the socket at all; only the peer check stands in the way.
    ASSERT_EQ(chmod(m_environment.Root().c_str(), 0711), 0);
    ASSERT_EQ(chmod(m_environment.RuntimeDir().c_str(), 0711), 0);
    ASSERT_EQ(chmod((m_environment.RuntimeDir() / "larkspur").c_str(), 0711), 0);
    ASSERT_EQ(chmod(SocketPath().c_str(), 0666), 0);

    pid_t child = fork();
    if (child == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0)
            _exit(3);
        int connection = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address = Address();
        if (connect(connection, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
            _exit(4);
        WindowMessageRecord record = EncodeWindowMessage({WM_COMMAND, 1009, 0});
        // The window may already have hung up on us; either way nothing must arrive.
        send(connection, record.data(), record.size(), MSG_NOSIGNAL);
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);

    // A message of our own after it, on a connection of its own, comes through alone.
    int good = RawConnection();
    SendRecord(good, {WM_CLOSE, 0, 0});
    close(good);
    EXPECT_EQ(m_sink.WaitFor(1), (std::vector<PostedMessage>{{WM_CLOSE, 0, 0}}));
    DestroyWindowEntry(window);
}

} // namespace
