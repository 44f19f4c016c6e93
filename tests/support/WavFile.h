// Reads the layout of a RIFF/WAVE file, to check that a written file is whole and how many
// samples it holds.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

struct WavLayout {
    unsigned channels = 0;
    unsigned sampleRate = 0;
    unsigned bitsPerSample = 0;
    std::uint64_t dataBytes = 0;

    std::uint64_t SampleFrames() const {
        return channels == 0 ? 0 : dataBytes / (channels * bitsPerSample / 8);
    }
};

// The layout of the file at `path`, or nothing when its header does not describe the file
// exactly: the RIFF size is the file size less 8 and the data chunk runs to the end.
inline std::optional<WavLayout> ReadWavLayout(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                           std::istreambuf_iterator<char>());
    const auto word = [&](std::size_t at) {
        return static_cast<std::uint32_t>(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
                                          static_cast<std::uint32_t>(bytes[at + 3]) << 24);
    };
    const auto half = [&](std::size_t at) { return static_cast<unsigned>(bytes[at] | bytes[at + 1] << 8); };
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
        std::memcmp(bytes.data() + 8, "WAVE", 4) != 0 || word(4) != bytes.size() - 8) {
        return std::nullopt;
    }
    WavLayout layout;
    bool haveFormat = false;
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        const std::uint32_t size = word(at + 4);
        if (std::memcmp(bytes.data() + at, "fmt ", 4) == 0 && size >= 16 && at + 24 <= bytes.size()) {
            layout.channels = half(at + 10);
            layout.sampleRate = word(at + 12);
            layout.bitsPerSample = half(at + 22);
            haveFormat = true;
        } else if (std::memcmp(bytes.data() + at, "data", 4) == 0) {
            if (!haveFormat || at + 8 + size != bytes.size()) {
                return std::nullopt;
            }
            layout.dataBytes = size;
            return layout;
        }
        at += 8 + size + (size & 1);
    }
    return std::nullopt;
}

// The sample frames that `mpg123 -w` writes for `mp3`, or nothing when mpg123 is not installed.
inline std::optional<std::uint64_t> ReferenceSampleFrames(const std::string& mp3,
                                                          const std::string& scratchWav) {
    if (std::system("command -v mpg123 >/dev/null 2>&1") != 0) {
        return std::nullopt;
    }
    const std::string command = "mpg123 -q -w '" + scratchWav + "' '" + mp3 + "' 2>/dev/null";
    if (std::system(command.c_str()) != 0) {
        return std::nullopt;
    }
    const auto layout = ReadWavLayout(scratchWav);
    std::filesystem::remove(scratchWav);
    return layout ? std::optional(layout->SampleFrames()) : std::nullopt;
}
