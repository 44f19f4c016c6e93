// The header layout: RIFF while the sizes fit in 32 bits, RF64 beyond, never a wrapped size.
#include "WavHeader.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace {

std::uint32_t U32(const WavHeader& header, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value |= static_cast<std::uint32_t>(header[at + i]) << (8 * i);
    }
    return value;
}

std::uint64_t U64(const WavHeader& header, std::size_t at) {
    return U32(header, at) | static_cast<std::uint64_t>(U32(header, at + 4)) << 32;
}

std::string Tag(const WavHeader& header, std::size_t at) {
    return std::string(reinterpret_cast<const char*>(&header[at]), 4);
}

constexpr WavFormat kStereo{44100, 2};

TEST(WavHeader, DescribesPcm16) {
    const WavHeader header = MakeWavHeader(kStereo, 1000);
    EXPECT_EQ(Tag(header, 48), "fmt ");
    EXPECT_EQ(U32(header, 52), 16u);
    EXPECT_EQ(U32(header, 56), 1u | 2u << 16);  // PCM, 2 channels
    EXPECT_EQ(U32(header, 60), 44100u);         // sample rate
    EXPECT_EQ(U32(header, 64), 44100u * 4);     // bytes per second
    EXPECT_EQ(U32(header, 68), 4u | 16u << 16); // block align, bits per sample
    EXPECT_EQ(Tag(header, 72), "data");
}

struct SizeCase {
    std::uint64_t dataBytes;
    bool rf64;
};

class WavHeaderSize : public testing::TestWithParam<SizeCase> {};

TEST_P(WavHeaderSize, RiffUpToTheLimitRf64Beyond) {
    const std::uint64_t data = GetParam().dataBytes;
    const WavHeader header = MakeWavHeader(kStereo, data);
    const std::uint64_t riffBytes = kWavHeaderBytes - 8 + data;
    EXPECT_EQ(Tag(header, 8), "WAVE");
    if (GetParam().rf64) {
        EXPECT_EQ(Tag(header, 0), "RF64");
        EXPECT_EQ(U32(header, 4), 0xFFFFFFFFu);
        EXPECT_EQ(Tag(header, 12), "ds64");
        EXPECT_EQ(U32(header, 16), 28u);
        EXPECT_EQ(U64(header, 20), riffBytes);
        EXPECT_EQ(U64(header, 28), data);
        EXPECT_EQ(U64(header, 36), data / 4); // sample frames
        EXPECT_EQ(U32(header, 76), 0xFFFFFFFFu);
    } else {
        EXPECT_EQ(Tag(header, 0), "RIFF");
        EXPECT_EQ(U32(header, 4), riffBytes);
        EXPECT_EQ(Tag(header, 12), "JUNK"); // the room a ds64 chunk takes later
        EXPECT_EQ(U32(header, 16), 28u);
        EXPECT_EQ(U32(header, 76), data);
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, WavHeaderSize,
                         testing::Values(SizeCase{0, false}, SizeCase{kMaxRiffDataBytes, false},
                                         SizeCase{kMaxRiffDataBytes + 1, true}, SizeCase{4ull << 30, true},
                                         SizeCase{5ull << 30, true}),
                         [](const testing::TestParamInfo<SizeCase>& size) {
                             return std::to_string(size.param.dataBytes) + "Bytes";
                         });

} // namespace
