#include "Clipboard.h"

#include "FileLock.h"
#include "RuntimeFolder.h"
#include "ScopedXdgEnvironment.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

HGLOBAL BlockWith(const std::string& text) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, text.size() + 1);
    std::memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    return block;
}

std::string TextOf(HGLOBAL block) {
    const char* bytes = static_cast<const char*>(GlobalLock(block));
    std::string text = bytes == nullptr ? "" : std::string(bytes, strnlen(bytes, GlobalSize(block)));
    GlobalUnlock(block);
    return text;
}

class ClipboardTest : public testing::Test {
protected:
    void SetUp() override { m_format = RegisterClipboardFormatA("LarkspurFormat"); }
    void TearDown() override { CloseClipboard(); }

    std::string MailboxPath() const {
        char name[32];
        std::snprintf(name, sizeof name, "clipboard-%04X.block", m_format);
        return RuntimePath(name);
    }

    // Stores `text` the way a sender does and closes the clipboard again.
    void Store(UINT format, const std::string& text) {
        ASSERT_TRUE(OpenClipboard(nullptr));
        ASSERT_NE(SetClipboardData(format, BlockWith(text)), nullptr);
        ASSERT_TRUE(CloseClipboard());
    }

    std::string Stored(UINT format) {
        EXPECT_TRUE(OpenClipboard(nullptr));
        std::string text = TextOf(GetClipboardData(format));
        EXPECT_TRUE(CloseClipboard());
        return text;
    }

    ScopedXdgEnvironment m_environment;
    UINT m_format = 0;
};

TEST_F(ClipboardTest, AFormatNameHasOneNumberWhateverItsCase) {
    EXPECT_GE(m_format, 0xC000u);
    EXPECT_EQ(RegisterClipboardFormatA("larkspurformat"), m_format);
    UINT other = RegisterClipboardFormatA("Another");
    EXPECT_NE(other, m_format);
    EXPECT_GE(other, 0xC000u);
    EXPECT_EQ(RegisterClipboardFormatA("Another"), other);
    EXPECT_EQ(RegisterClipboardFormatA(""), 0u);
    EXPECT_EQ(RegisterClipboardFormatA("two\nlines"), 0u);
}

TEST_F(ClipboardTest, OnlyOneOpenerAtATime) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_FALSE(OpenClipboard(nullptr));
    bool openedElsewhere = true;
    std::thread([&] { openedElsewhere = OpenClipboard(nullptr) != FALSE; }).join();
    EXPECT_FALSE(openedElsewhere);
    EXPECT_TRUE(CloseClipboard());
    EXPECT_FALSE(CloseClipboard());

    // Another process holds the lock: the same lock file taken through a descriptor of its own.
    {
        FileLock otherProcess(RuntimePath("clipboard.lock"), FileLock::Wait::DontBlock);
        ASSERT_TRUE(otherProcess.IsLocked());
        EXPECT_FALSE(OpenClipboard(nullptr));
    }
    EXPECT_TRUE(OpenClipboard(nullptr));
}

TEST_F(ClipboardTest, ABlockOutlivesItsWriterAndIsRemovedByStoringNothing) {
    UINT other = RegisterClipboardFormatA("Another");
    Store(other, "a picture");
    Store(m_format, "\"/music/a.mp3\"");
    struct stat info {};
    ASSERT_EQ(stat(MailboxPath().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(Stored(m_format), "\"/music/a.mp3\"");

    Store(m_format, "replaced");
    EXPECT_EQ(Stored(m_format), "replaced");

    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_EQ(SetClipboardData(m_format, nullptr), nullptr);
    EXPECT_EQ(GetClipboardData(m_format), nullptr);
    ASSERT_TRUE(CloseClipboard());
    EXPECT_EQ(Stored(other), "a picture");
    // No temporary file is left behind.
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(RuntimeFolder()))
        files += entry.path().filename().string().find(".block") != std::string::npos;
    EXPECT_EQ(files, 1);
}

TEST_F(ClipboardTest, NothingIsReadOrWrittenWhileTheClipboardIsClosed) {
    Store(m_format, "pending");
    EXPECT_EQ(GetClipboardData(m_format), nullptr);
    HGLOBAL block = BlockWith("lost");
    EXPECT_EQ(SetClipboardData(m_format, block), nullptr);
    EXPECT_EQ(GlobalFree(block), nullptr); // still the caller's
    EXPECT_EQ(Stored(m_format), "pending");
}

struct MailboxCase {
    const char* name;
    std::string bytes;
};

class DamagedMailbox : public ClipboardTest, public testing::WithParamInterface<MailboxCase> {};

std::string Header(std::uint64_t size) {
    std::string header = "LKSPMBX1";
    header.append(reinterpret_cast<const char*>(&size), sizeof size);
    return header;
}

TEST_P(DamagedMailbox, IsIgnoredAndReplacedByTheNextBlock) {
    ASSERT_FALSE(RuntimeFolder().empty());
    { std::ofstream(MailboxPath(), std::ios::binary) << GetParam().bytes; }
    EXPECT_EQ(Stored(m_format), "");
    Store(m_format, "fresh");
    EXPECT_EQ(Stored(m_format), "fresh");
}

INSTANTIATE_TEST_SUITE_P(Files, DamagedMailbox,
                         testing::Values(MailboxCase{"Empty", ""},
                                         MailboxCase{"Garbage", std::string(4096, '\x7f')},
                                         MailboxCase{"ShortHeader", "LKSPMB"},
                                         MailboxCase{"Truncated", Header(100) + "only a few bytes"},
                                         MailboxCase{"LongerThanItSays", Header(2) + "abcdef"},
                                         MailboxCase{"Oversized", Header(std::uint64_t{1} << 40) + "x"}),
                         [](const testing::TestParamInfo<MailboxCase>& param) {
                             return std::string(param.param.name);
                         });

TEST_F(ClipboardTest, AMailboxThatIsALinkOrAnotherUsersFileIsIgnored) {
    ASSERT_FALSE(RuntimeFolder().empty());
    std::string elsewhere = (m_environment.Root() / "planted").string();
    Store(m_format, "genuine");
    std::filesystem::rename(MailboxPath(), elsewhere);
    std::filesystem::create_symlink(elsewhere, MailboxPath());
    EXPECT_EQ(Stored(m_format), "");
    if (geteuid() != 0)
        return;
    std::filesystem::remove(MailboxPath());
    std::filesystem::rename(elsewhere, MailboxPath());
    ASSERT_EQ(chown(MailboxPath().c_str(), 65534, 65534), 0);
    EXPECT_EQ(Stored(m_format), "");
}

TEST(GlobalMemory, BlocksAreZeroedCountTheirLocksAndRefuseHandlesThatAreNoBlock) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_DDESHARE, 16);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(GlobalSize(block), 16u);
    auto* bytes = static_cast<unsigned char*>(GlobalLock(block));
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(std::count(bytes, bytes + 16, 0), 16);
    EXPECT_EQ(GlobalLock(block), bytes);
    EXPECT_TRUE(GlobalUnlock(block));
    EXPECT_FALSE(GlobalUnlock(block));
    EXPECT_EQ(GlobalFree(block), nullptr);

    EXPECT_EQ(GlobalLock(block), nullptr);
    EXPECT_EQ(GlobalSize(block), 0u);
    EXPECT_EQ(GlobalFree(block), block);
}

} // namespace
