// The operations' contract apart from decoding: result texts, call order, output controls.
#include "DecoderTestSupport.h"

#include <gtest/gtest.h>
#include <set>

namespace {

TEST(ErrorText, EveryCodeHasItsOwnText) {
    const int codes[] = {XA_SUCCESS,
                         XA_STEP_SKIPPED_DATA,
                         XA_STEP_NO_SAMPLES,
                         XA_END_OF_INPUT,
                         XA_ERROR_OUT_OF_MEMORY,
                         XA_ERROR_INVALID_PARAMETERS,
                         XA_ERROR_INTERNAL,
                         XA_ERROR_NO_SUCH_MODULE,
                         XA_ERROR_INPUT_NOT_FOUND,
                         XA_ERROR_INPUT_ACCESS_DENIED,
                         XA_ERROR_INPUT_IS_DIRECTORY,
                         XA_ERROR_INPUT_NOT_MPEG,
                         XA_ERROR_INPUT_READ_FAILED,
                         XA_ERROR_INPUT_NOT_OPEN,
                         XA_ERROR_OUTPUT_CREATE_FAILED,
                         XA_ERROR_OUTPUT_ACCESS_DENIED,
                         XA_ERROR_OUTPUT_WRITE_FAILED,
                         XA_ERROR_OUTPUT_DISK_FULL,
                         XA_ERROR_OUTPUT_NOT_OPEN,
                         XA_ERROR_OUTPUT_DEVICE_UNAVAILABLE};
    const std::string unknown = xaudio_error_string(-9999);
    EXPECT_FALSE(unknown.empty());
    EXPECT_EQ(xaudio_error_string(12345), unknown);
    std::set<std::string> texts;
    for (const int code : codes) {
        const char* text = xaudio_error_string(code);
        ASSERT_NE(text, nullptr);
        EXPECT_NE(text, unknown) << "code " << code << " has only the generic text";
        EXPECT_TRUE(texts.insert(text).second) << "code " << code << " shares its text";
    }
}

TEST(DecoderCalls, PlayNeedsAnOpenInputAndOutput) {
    TempFolder folder;
    TestDecoder decoder;
    EXPECT_EQ(decoder_play(decoder.get()), XA_ERROR_INPUT_NOT_OPEN);
    decoder_input_new(decoder.get(), FixturePath("cbr-stereo.mp3").c_str(), XA_DECODER_MODULE_AUTO);
    ASSERT_EQ(decoder_input_open(decoder.get()), XA_SUCCESS);
    EXPECT_EQ(decoder_play(decoder.get()), XA_ERROR_OUTPUT_NOT_OPEN);
    EXPECT_EQ(decoder.get()->status, XA_ERROR_OUTPUT_NOT_OPEN);
    EXPECT_EQ(decoder_output_set_control(decoder.get(), nullptr, XA_DECODER_CONTROL_DRAIN),
              XA_ERROR_OUTPUT_NOT_OPEN);

    // An output opened after the input works as well.
    const std::string output = "wav:" + folder / "out.wav";
    decoder_output_new(decoder.get(), output.c_str(), XA_DECODER_MODULE_AUTO);
    ASSERT_EQ(decoder_output_open(decoder.get()), XA_SUCCESS);
    int rc = XA_SUCCESS;
    while (PlayGoesOn(rc)) {
        rc = decoder_play(decoder.get());
    }
    EXPECT_EQ(rc, XA_END_OF_INPUT);
    EXPECT_EQ(decoder_play(decoder.get()), XA_END_OF_INPUT) << "the end stays the end";
    EXPECT_EQ(decoder_input_close(decoder.get()), XA_SUCCESS);
    EXPECT_EQ(decoder_input_close(decoder.get()), XA_ERROR_INPUT_NOT_OPEN);
    EXPECT_EQ(decoder.Delete(), XA_SUCCESS);
    const auto wav = ReadWav(folder / "out.wav");
    ASSERT_TRUE(wav.has_value());
    EXPECT_EQ(wav->layout.SampleFrames(), 132300u);
}

TEST(DecoderCalls, ModulesAreChosenByNumberOrName) {
    TempFolder folder;
    TestDecoder decoder;
    // Module 1 is the audio output, whatever the name says.
    const std::string output = "wav:" + folder / "out.wav";
    EXPECT_EQ(decoder_output_new(decoder.get(), output.c_str(), 1), XA_SUCCESS);
    EXPECT_EQ(decoder_output_open(decoder.get()), XA_ERROR_OUTPUT_DEVICE_UNAVAILABLE);
    EXPECT_EQ(decoder_output_new(decoder.get(), output.c_str(), 2), XA_ERROR_NO_SUCH_MODULE);
    EXPECT_EQ(decoder_output_open(decoder.get()), XA_ERROR_NO_SUCH_MODULE);
    EXPECT_EQ(decoder_output_new(decoder.get(), output.c_str(), 0), XA_SUCCESS);
    EXPECT_EQ(decoder_output_open(decoder.get()), XA_SUCCESS);
    EXPECT_NE(decoder.get()->output.load(), nullptr);
}

TEST(DecoderCalls, ControlsAreCheckedAndApplied) {
    TempFolder folder;
    TestDecoder decoder;
    XA_OutputControl control{};
    control.bytes_per_sample = 1;
    EXPECT_EQ(decoder_output_set_control(decoder.get(), &control, 0x01), XA_ERROR_INVALID_PARAMETERS)
        << "only 16-bit samples are written";
    EXPECT_EQ(decoder_output_set_control(decoder.get(), nullptr, XA_DECODER_CONTROL_PORTS),
              XA_ERROR_INVALID_PARAMETERS);
    EXPECT_EQ(decoder_output_set_control(decoder.get(), &control, 0x2000), XA_ERROR_INVALID_PARAMETERS);

    // Without the first port the opened output receives no samples, but still a valid file.
    control.ports = XA_OUTPUT_PORT_SECOND;
    EXPECT_EQ(decoder_output_set_control(decoder.get(), &control, XA_DECODER_CONTROL_PORTS), XA_SUCCESS);
    const std::string output = "wav:" + folder / "out.wav";
    decoder_output_new(decoder.get(), output.c_str(), XA_DECODER_MODULE_AUTO);
    ASSERT_EQ(decoder_output_open(decoder.get()), XA_SUCCESS);
    decoder_input_new(decoder.get(), FixturePath("mpeg2-mono.mp3").c_str(), XA_DECODER_MODULE_AUTO);
    ASSERT_EQ(decoder_input_open(decoder.get()), XA_SUCCESS);
    EXPECT_EQ(decoder_play(decoder.get()), XA_SUCCESS);
    EXPECT_EQ(decoder_output_set_control(decoder.get(), nullptr, XA_DECODER_CONTROL_DRAIN), XA_SUCCESS);
    const auto wav = ReadWav(folder / "out.wav");
    ASSERT_TRUE(wav.has_value()) << "a drain leaves the header up to date";
    EXPECT_EQ(wav->layout.sampleRate, 22050u);
    EXPECT_EQ(wav->layout.dataBytes, 0u);
}

} // namespace
