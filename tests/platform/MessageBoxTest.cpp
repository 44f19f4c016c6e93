#include "MessageBox.h"

#include "ConsoleMessageBox.h"
#include "RecordingMessageBox.h"

#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace {

using namespace std::chrono_literals;

TEST(MessageBox, ConsoleLineNamesProgramAndSubject) {
    const ConsoleMessageBoxService console("larkspur-convert");
    EXPECT_EQ(console.FormatLine("XAUDIO: cannot open input (x)", "/music/a b.mp3"),
              "larkspur-convert: /music/a b.mp3: XAUDIO: cannot open input (x)");
    EXPECT_EQ(console.FormatLine("text", ""), "larkspur-convert: text");
}

TEST(MessageBox, InstalledServiceReceivesTheBoxAndCanHoldItOpen) {
    RecordingMessageBoxService boxes(true);
    SetMessageBoxService(&boxes);
    std::atomic<bool> returned{false};
    std::thread worker([&] {
        EXPECT_EQ(AfxMessageBox("text", MB_OK | MB_ICONEXCLAMATION, "subject"), IDOK);
        returned = true;
    });
    ASSERT_TRUE(boxes.WaitForMessages(1, 10s));
    std::this_thread::sleep_for(20ms);
    EXPECT_FALSE(returned) << "the box is still up";
    boxes.Release();
    worker.join();
    SetMessageBoxService(nullptr);

    const auto messages = boxes.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "text");
    EXPECT_EQ(messages[0].type, MB_OK | MB_ICONEXCLAMATION);
    EXPECT_EQ(messages[0].subject, "subject");
}

} // namespace
