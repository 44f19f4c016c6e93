#include "DestinationName.h"

#include "MultiByteText.h"

#include <array>
#include <gtest/gtest.h>
#include <set>
#include <string>

namespace {

struct NamingCase {
    const char* source;
    int iWavLoc;
    const char* sWavLoc;
    const char* expected;
};

TEST(DestinationName, ReplacesTheFileNamesExtensionOrGoesToTheFolder) {
    const std::array cases{
        NamingCase{"/music/Song.MP3", 0, "", "/music/Song.wav"},
        NamingCase{"/music/a.b.mp3", 0, "", "/music/a.b.wav"},
        NamingCase{"/music/track", 0, "", "/music/track.wav"},
        // A '.' in a folder name is no extension.
        NamingCase{"/music/Live.2001/track", 0, "", "/music/Live.2001/track.wav"},
        NamingCase{"Song.mp3", 0, "", "Song.wav"},
        NamingCase{"/music/Song.mp3", 1, "/srv/wav", "/srv/wav/Song.wav"},
        NamingCase{"/music/Song.mp3", 1, "/srv/wav/", "/srv/wav/Song.wav"},
        NamingCase{"/music/Live.2001/track", 1, "/srv/wav", "/srv/wav/track.wav"},
        NamingCase{"/music/Song.mp3", 1, "", "/music/Song.wav"},
        NamingCase{"/music/Song.mp3", 0, "/srv/wav", "/music/Song.wav"},
        // The source is never its own destination.
        NamingCase{"/music/x.wav", 0, "", "/music/x (2).wav"},
        NamingCase{"/music/x.wav", 1, "/music/", "/music/x (2).wav"},
        NamingCase{"/my music/\"quoted\" Ünïcode.mp3", 1, "/srv/wav", "/srv/wav/\"quoted\" Ünïcode.wav"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.source) + " -> " + c.sWavLoc);
        EXPECT_EQ(DestinationForSource(c.source, c.iWavLoc, c.sWavLoc), c.expected);
    }
}

std::size_t DoubleByteRule(const char* text, std::size_t /*available*/) {
    return static_cast<unsigned char>(*text) >= 0x81 ? 2 : 1;
}

TEST(DestinationName, SeparatorsInsideDoubleByteCharactersDoNotCount) {
    mbtext::SetCharLengthRuleForTesting(DoubleByteRule);
    // "\x81." and "\x82/" are single characters.
    EXPECT_EQ(DestinationForSource("/m/a\x81.", 0, ""), "/m/a\x81..wav");
    EXPECT_EQ(DestinationForSource("/m/x\x82/y.mp3", 1, "/w"), "/w/x\x82/y.wav");
    mbtext::SetCharLengthRuleForTesting(nullptr);
}

TEST(DestinationName, UniqueDestinationNumbersTakenNames) {
    std::set<std::string> taken;
    const auto isTaken = [&](const std::string& name) { return taken.contains(name); };
    EXPECT_EQ(UniqueDestination("/w/Song.wav", isTaken), "/w/Song.wav");
    taken.insert("/w/Song.wav");
    EXPECT_EQ(UniqueDestination("/w/Song.wav", isTaken), "/w/Song (2).wav");
    taken.insert("/w/Song (2).wav");
    EXPECT_EQ(UniqueDestination("/w/Song.wav", isTaken), "/w/Song (3).wav");
    taken.insert("/w.d/track");
    EXPECT_EQ(UniqueDestination("/w.d/track", isTaken), "/w.d/track (2)");
}

} // namespace
