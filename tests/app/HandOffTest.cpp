#include "Clipboard.h"
#include "FileLock.h"
#include "HandOffReader.h"
#include "HandOffSender.h"
#include "RecordingWindowSink.h"
#include "RuntimeFolder.h"
#include "ScopedXdgEnvironment.h"
#include "resource.h"

#include <chrono>
#include <cstring>
#include <gtest/gtest.h>
#include <thread>

namespace {

class HandOff : public testing::Test {
protected:
    void SetUp() override {
        m_window = CreateWindowEntry("Larkspur!", m_sink);
        ASSERT_NE(m_window, nullptr);
    }
    void TearDown() override { DestroyWindowEntry(m_window); }

    static std::vector<std::string> TakeAll() {
        std::vector<std::string> items;
        TakeHandOffItems([&](const std::string& item) { items.push_back(item); });
        return items;
    }

    static void Pending(UINT format, const std::string& text) {
        ASSERT_TRUE(OpenClipboard(nullptr));
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, text.size() + 1);
        std::memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
        GlobalUnlock(block);
        ASSERT_NE(SetClipboardData(format, block), nullptr);
        CloseClipboard();
    }

    static std::string PendingText(UINT format) {
        EXPECT_TRUE(OpenClipboard(nullptr));
        HGLOBAL block = GetClipboardData(format);
        const char* bytes = static_cast<const char*>(GlobalLock(block));
        std::string text = bytes == nullptr ? "<none>" : bytes;
        GlobalUnlock(block);
        CloseClipboard();
        return text;
    }

    static UINT Format() { return RegisterClipboardFormatA(kHandOffFormatName); }

    ScopedXdgEnvironment m_environment;
    RecordingWindowSink m_sink;
    HWND m_window = nullptr;
};

TEST_F(HandOff, SendersAppendInOrderAndOneReadTakesEverything) {
    ASSERT_TRUE(HandOffText(m_window, "\"/music/one.mp3\""));
    ASSERT_TRUE(HandOffText(m_window, "/music/two.mp3"));
    ASSERT_TRUE(HandOffText(m_window, "\"/music/three \".mp3\""));
    EXPECT_EQ(PendingText(Format()), "\"/music/one.mp3\"|/music/two.mp3|\"/music/three \".mp3\"");
    auto posted = m_sink.Messages();
    ASSERT_EQ(posted.size(), 3u);
    for (const PostedMessage& message : posted) {
        EXPECT_EQ(message.message, WM_COMMAND);
        EXPECT_EQ(message.wParam, static_cast<WPARAM>(ID_HANDOFF));
    }

    EXPECT_EQ(TakeAll(),
              (std::vector<std::string>{"/music/one.mp3", "/music/two.mp3", "/music/three \".mp3"}));
    EXPECT_EQ(PendingText(Format()), "<none>");
    EXPECT_TRUE(TakeAll().empty());
}

TEST_F(HandOff, AnEmptyCommandLineTouchesNothing) {
    Pending(Format(), "/left/by/a/copy/that/quit.mp3");
    ASSERT_TRUE(HandOffText(m_window, ""));
    EXPECT_TRUE(m_sink.Messages().empty());
    EXPECT_EQ(PendingText(Format()), "/left/by/a/copy/that/quit.mp3");

    ASSERT_TRUE(HandOffText(m_window, "/new.mp3"));
    EXPECT_EQ(TakeAll(), (std::vector<std::string>{"/left/by/a/copy/that/quit.mp3", "/new.mp3"}));
}

struct ReaderCase {
    const char* name;
    std::string pending;
    std::vector<std::string> items;
};

class HandOffReader : public HandOff, public testing::WithParamInterface<ReaderCase> {};

TEST_P(HandOffReader, TakesEveryItemOnce) {
    Pending(Format(), GetParam().pending);
    EXPECT_EQ(TakeAll(), GetParam().items);
    EXPECT_EQ(PendingText(Format()), "<none>");
}

INSTANTIATE_TEST_SUITE_P(
    Texts, HandOffReader,
    testing::Values(
        ReaderCase{"TwoQuotedPathsAreOneItem", "\"/a.mp3\" \"/b.mp3\"", {"/a.mp3\" \"/b.mp3"}},
        ReaderCase{"ClosingQuoteAndBlankStay", "\"/a.mp3\" ", {"/a.mp3\" "}},
        ReaderCase{"OnlyQuotesGiveNothing", "\"\"\"|/b.mp3", {"/b.mp3"}},
        ReaderCase{"ItemsAfterEmptyOnesAreKept", "/a.mp3||/b.mp3|||/c.mp3", {"/a.mp3", "/b.mp3", "/c.mp3"}},
        ReaderCase{"LeadingAndTrailingDelimiters", "|/a.mp3|", {"/a.mp3"}}),
    [](const testing::TestParamInfo<ReaderCase>& param) { return std::string(param.param.name); });

TEST_F(HandOff, ThousandsOfPendingItemsAreAllTakenInOrder) {
    std::vector<std::string> expected;
    std::string text;
    for (int index = 0; index < 2500; ++index) {
        expected.push_back("/music/" + std::to_string(index) + ".mp3");
        // Empty items sprinkled in, one right at the splitter's slot boundary.
        text += (index == 0 ? "" : (index % 700 == 0 || index == 1023) ? "||" : "|") + expected.back();
    }
    Pending(Format(), text);
    EXPECT_EQ(TakeAll(), expected);
}

TEST_F(HandOff, OtherFormatsStayWhereTheyAre) {
    UINT other = RegisterClipboardFormatA("image/png");
    Pending(other, "a copied picture");
    ASSERT_TRUE(HandOffText(m_window, "/a.mp3"));
    EXPECT_EQ(TakeAll(), std::vector<std::string>{"/a.mp3"});
    EXPECT_EQ(PendingText(other), "a copied picture");
}

TEST_F(HandOff, AReaderThatCannotOpenTheClipboardLeavesTheItemsPending) {
    Pending(Format(), "/a.mp3");
    {
        FileLock otherProgram(RuntimePath("clipboard.lock"), FileLock::Wait::DontBlock);
        ASSERT_TRUE(otherProgram.IsLocked());
        EXPECT_TRUE(TakeAll().empty());
    }
    EXPECT_EQ(TakeAll(), std::vector<std::string>{"/a.mp3"});
}

TEST_F(HandOff, ASenderWaitsForTheClipboardToBeFree) {
    auto otherProgram = std::make_unique<FileLock>(RuntimePath("clipboard.lock"), FileLock::Wait::DontBlock);
    ASSERT_TRUE(otherProgram->IsLocked());
    std::thread releaser([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        otherProgram.reset();
    });
    EXPECT_TRUE(HandOffText(m_window, "/a.mp3"));
    releaser.join();
    EXPECT_EQ(m_sink.Messages().size(), 1u);
    EXPECT_EQ(TakeAll(), std::vector<std::string>{"/a.mp3"});
}

} // namespace
