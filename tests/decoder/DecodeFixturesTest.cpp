// Decoding the fixtures: the PCM data must equal what mpg123 writes, and a stream whose format
// changes keeps its first format without losing its second part.
#include "DecoderTestSupport.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>

namespace {

class DecodeFixture : public testing::TestWithParam<const char*> {};

TEST_P(DecodeFixture, PcmEqualsMpg123) {
    if (!HaveMpg123()) {
        GTEST_SKIP() << "mpg123 is not installed";
    }
    TempFolder folder;
    const std::string source = FixturePath(GetParam());
    const ConversionResult result = Convert(source, folder / "out.wav");
    EXPECT_EQ(result.outputOpen, XA_SUCCESS);
    EXPECT_EQ(result.inputOpen, XA_SUCCESS);
    EXPECT_EQ(result.lastPlay, XA_END_OF_INPUT);
    EXPECT_EQ(result.deleted, XA_SUCCESS);

    const auto ours = ReadWav(folder / "out.wav");
    const auto reference = ReferenceWav(source, folder / "reference.wav");
    ASSERT_TRUE(ours.has_value()) << "the header does not describe the file";
    ASSERT_TRUE(reference.has_value());
    EXPECT_EQ(ours->layout.sampleRate, reference->layout.sampleRate);
    EXPECT_EQ(ours->layout.channels, reference->layout.channels);
    EXPECT_EQ(ours->layout.bitsPerSample, 16u);
    EXPECT_EQ(ours->layout.SampleFrames(), reference->layout.SampleFrames());
    EXPECT_TRUE(ours->pcm == reference->pcm) << "the PCM data differs from mpg123's";
}

INSTANTIATE_TEST_SUITE_P(Fixtures, DecodeFixture,
                         testing::Values("cbr-stereo.mp3", "vbr-lame.mp3", "mpeg2-mono.mp3",
                                         "mpeg25-mono.mp3", "layer2.mp2"),
                         [](const testing::TestParamInfo<const char*>& param) {
                             std::string name = param.param;
                             for (char& c : name) {
                                 c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             }
                             return name;
                         });

// 1.5 s of 44.1 kHz stereo followed by 1.5 s of 22.05 kHz mono.
TEST(FormatChange, KeepsTheFirstFormatAndConvertsTheRest) {
    TempFolder folder;
    const ConversionResult result = Convert(FixturePath("format-change.mp3"), folder / "out.wav");
    EXPECT_EQ(result.lastPlay, XA_END_OF_INPUT);
    const auto wav = ReadWav(folder / "out.wav");
    ASSERT_TRUE(wav.has_value());
    EXPECT_EQ(wav->layout.sampleRate, 44100u);
    EXPECT_EQ(wav->layout.channels, 2u);
    // Both parts are there, the second resampled to the first's rate (each part has some
    // encoder padding, so a little over 3 s).
    const double seconds = static_cast<double>(wav->layout.SampleFrames()) / 44100.0;
    EXPECT_GT(seconds, 2.95);
    EXPECT_LT(seconds, 3.15);
    // The second part is sound, not silence: look at its middle, around 2.25 s.
    const std::size_t middle = 2 * 2 * static_cast<std::size_t>(2.25 * 44100);
    long peak = 0;
    for (std::size_t at = middle; at < middle + 4000; at += 2) {
        const auto sample = static_cast<std::int16_t>(wav->pcm[at] | wav->pcm[at + 1] << 8);
        peak = std::max(peak, std::labs(sample));
    }
    EXPECT_GT(peak, 8000);
}

// A second input played into the same output is converted to the output's format as well.
TEST(FormatChange, NextInputKeepsTheOutputsFormat) {
    TempFolder folder;
    TestDecoder decoder;
    const std::string output = "wav:" + folder / "out.wav";
    decoder_output_new(decoder.get(), output.c_str(), XA_DECODER_MODULE_AUTO);
    ASSERT_EQ(decoder_output_open(decoder.get()), XA_SUCCESS);
    for (const char* source : {"cbr-stereo.mp3", "mpeg2-mono.mp3"}) {
        decoder_input_new(decoder.get(), FixturePath(source).c_str(), XA_DECODER_MODULE_AUTO);
        ASSERT_EQ(decoder_input_open(decoder.get()), XA_SUCCESS) << source;
        int rc = XA_SUCCESS;
        while (PlayGoesOn(rc)) {
            rc = decoder_play(decoder.get());
        }
        EXPECT_EQ(rc, XA_END_OF_INPUT) << source;
    }
    ASSERT_EQ(decoder.Delete(), XA_SUCCESS);
    const auto wav = ReadWav(folder / "out.wav");
    ASSERT_TRUE(wav.has_value());
    EXPECT_EQ(wav->layout.sampleRate, 44100u);
    EXPECT_EQ(wav->layout.channels, 2u);
    // 3 s of the first file, then the second's 67392 samples at 22.05 kHz, now twice as many.
    EXPECT_NEAR(static_cast<double>(wav->layout.SampleFrames()), 132300.0 + 2 * 67392.0, 2000.0);
}

TEST(Stop, LeavesAValidShorterFile) {
    TempFolder folder;
    const ConversionResult whole = Convert(FixturePath("cbr-stereo.mp3"), folder / "whole.wav");
    const ConversionResult stopped = Convert(FixturePath("cbr-stereo.mp3"), folder / "stopped.wav", 1);
    ASSERT_EQ(whole.lastPlay, XA_END_OF_INPUT);
    ASSERT_EQ(stopped.lastPlay, XA_SUCCESS);
    EXPECT_EQ(stopped.deleted, XA_SUCCESS);

    const auto complete = ReadWav(folder / "whole.wav");
    const auto partial = ReadWav(folder / "stopped.wav");
    ASSERT_TRUE(complete.has_value());
    ASSERT_TRUE(partial.has_value()) << "the stopped file's header does not describe it";
    EXPECT_GT(partial->pcm.size(), 0u);
    ASSERT_LT(partial->pcm.size(), complete->pcm.size());
    EXPECT_TRUE(std::equal(partial->pcm.begin(), partial->pcm.end(), complete->pcm.begin()));
}

TEST(Paths, BlanksQuotesAndNonAsciiAreTakenAsGiven) {
    TempFolder folder;
    const std::string name = "Sing \"it\" l'\u00e9t\u00e9 \u266a";
    std::filesystem::copy_file(FixturePath("mpeg2-mono.mp3"), folder / (name + ".mp3"));
    const ConversionResult result = Convert(folder / (name + ".mp3"), folder / (name + ".wav"));
    EXPECT_EQ(result.inputOpen, XA_SUCCESS);
    EXPECT_EQ(result.lastPlay, XA_END_OF_INPUT);
    EXPECT_TRUE(ReadWav(folder / (name + ".wav")).has_value());
}

// Another thread reads the progress while this one plays, as the queue tick does; a build with
// ThreadSanitizer reports any race here.
TEST(Progress, ReadableFromAnotherThreadWhilePlaying) {
    TempFolder folder;
    TestDecoder decoder;
    const std::string output = "wav:" + folder / "out.wav";
    decoder_output_new(decoder.get(), output.c_str(), XA_DECODER_MODULE_AUTO);
    ASSERT_EQ(decoder_output_open(decoder.get()), XA_SUCCESS);
    decoder_input_new(decoder.get(), FixturePath("vbr-lame.mp3").c_str(), XA_DECODER_MODULE_AUTO);
    EXPECT_EQ(decoder.get()->input.load(), nullptr) << "no input information before the input is open";
    ASSERT_EQ(decoder_input_open(decoder.get()), XA_SUCCESS);

    std::atomic<bool> playing = true;
    std::atomic<bool> wentBackwards = false;
    std::atomic<bool> passedTheSize = false;
    std::thread reader([&] {
        std::uint64_t last = 0;
        while (playing.load()) {
            const XA_InputInfo* input = decoder.get()->input.load();
            if (input == nullptr) {
                continue;
            }
            const std::uint64_t position = input->position.load();
            wentBackwards = wentBackwards || position < last;
            passedTheSize = passedTheSize || position > input->size.load();
            last = position;
        }
    });
    int rc = XA_SUCCESS;
    while (PlayGoesOn(rc)) {
        rc = decoder_play(decoder.get());
    }
    playing = false;
    reader.join();

    EXPECT_EQ(rc, XA_END_OF_INPUT);
    EXPECT_FALSE(wentBackwards);
    EXPECT_FALSE(passedTheSize);
    const XA_InputInfo* input = decoder.get()->input.load();
    ASSERT_NE(input, nullptr);
    EXPECT_EQ(input->size.load(), std::filesystem::file_size(FixturePath("vbr-lame.mp3")));
    EXPECT_EQ(input->position.load(), input->size.load());
    decoder_input_close(decoder.get());
    EXPECT_EQ(decoder.get()->input.load(), nullptr);
}

} // namespace
