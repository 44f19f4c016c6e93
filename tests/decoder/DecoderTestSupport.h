// Shared steps of the decoder tests: running a conversion the way the worker does, and reading
// the PCM data of a written WAV file.
#pragma once

#include "TempFolder.h"
#include "WavFile.h"
#include "decoder.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

inline std::string FixturePath(const std::string& name) {
    return std::string(LARKSPUR_FIXTURES_DIR) + "/" + name;
}

inline bool PlayGoesOn(int rc) {
    return rc == XA_SUCCESS || rc == XA_STEP_NO_SAMPLES || rc == XA_STEP_SKIPPED_DATA;
}

// A decoder with the worker's module registrations: file input, WAV file and audio outputs.
class TestDecoder {
public:
    TestDecoder() {
        decoder_new(&m_decoder);
        XA_InputModule input{};
        file_input_module_register(&input);
        decoder_input_module_register(m_decoder, &input);
        XA_OutputModule output{};
        file_output_module_register(&output);
        decoder_output_module_register(m_decoder, &output);
        audio_output_module_register(&output);
        decoder_output_module_register(m_decoder, &output);
    }
    ~TestDecoder() {
        if (m_decoder != nullptr) {
            decoder_delete(m_decoder);
        }
    }
    TestDecoder(const TestDecoder&) = delete;
    TestDecoder& operator=(const TestDecoder&) = delete;

    XA_DecoderInfo* get() const { return m_decoder; }
    // Deletes the decoder now (completing its output); the result of decoder_delete.
    int Delete() {
        const int rc = decoder_delete(m_decoder);
        m_decoder = nullptr;
        return rc;
    }

private:
    XA_DecoderInfo* m_decoder = nullptr;
};

struct ConversionResult {
    int outputOpen = XA_ERROR_INTERNAL;
    int inputOpen = XA_ERROR_INTERNAL;
    int lastPlay = XA_ERROR_INTERNAL; // the decoder_play result that ended the loop
    int steps = 0;
    int deleted = XA_ERROR_INTERNAL;
};

// Converts as the worker does: output first, then input, then decoder_play until the input ends,
// a step fails or `maxSteps` steps have run (a stop request).
inline ConversionResult Convert(const std::string& source, const std::string& wav,
                                int maxSteps = std::numeric_limits<int>::max()) {
    ConversionResult result;
    TestDecoder decoder;
    const std::string outputName = "wav:" + wav;
    decoder_output_new(decoder.get(), outputName.c_str(), XA_DECODER_MODULE_AUTO);
    result.outputOpen = decoder_output_open(decoder.get());
    if (result.outputOpen == XA_SUCCESS) {
        decoder_input_new(decoder.get(), source.c_str(), XA_DECODER_MODULE_AUTO);
        result.inputOpen = decoder_input_open(decoder.get());
    }
    if (result.inputOpen == XA_SUCCESS) {
        do {
            result.lastPlay = decoder_play(decoder.get());
            ++result.steps;
        } while (PlayGoesOn(result.lastPlay) && result.steps < maxSteps);
        decoder_output_set_control(decoder.get(), nullptr, XA_DECODER_CONTROL_DRAIN);
        decoder_input_close(decoder.get());
    }
    result.deleted = decoder.Delete();
    return result;
}

struct WavContents {
    WavLayout layout;
    std::vector<unsigned char> pcm;
};

// The format and PCM data of a WAV file whose header describes it exactly, or nothing.
inline std::optional<WavContents> ReadWav(const std::string& path) {
    const auto layout = ReadWavLayout(path);
    if (!layout) {
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    in.seekg(-static_cast<std::streamoff>(layout->dataBytes), std::ios::end);
    WavContents contents{*layout, std::vector<unsigned char>(layout->dataBytes)};
    in.read(reinterpret_cast<char*>(contents.pcm.data()), static_cast<std::streamsize>(layout->dataBytes));
    return contents;
}

inline bool HaveMpg123() {
    return std::system("command -v mpg123 >/dev/null 2>&1") == 0;
}

// What `mpg123 -q -w` writes for `mp3`.
inline std::optional<WavContents> ReferenceWav(const std::string& mp3, const std::string& scratchWav) {
    const std::string command = "mpg123 -q -w '" + scratchWav + "' '" + mp3 + "' 2>/dev/null";
    if (std::system(command.c_str()) != 0) {
        return std::nullopt;
    }
    return ReadWav(scratchWav);
}
