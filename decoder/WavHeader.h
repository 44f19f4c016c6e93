// The header of the WAV files the library writes: RIFF/WAVE with 16-bit PCM, or RF64 once the
// data outgrows what a RIFF header's 32-bit sizes can describe. Both layouts have the same
// length, so a file's header can be turned from one into the other in place.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

struct WavFormat {
    unsigned int sampleRate;
    unsigned int channels;
};

// "RIFF" + size + "WAVE", a 28-byte "JUNK" chunk (the room of an RF64 "ds64" chunk), the 16-byte
// "fmt " chunk and the "data" chunk's own header.
inline constexpr std::size_t kWavHeaderBytes = 12 + 8 + 28 + 8 + 16 + 8;

// The largest amount of PCM data that a RIFF header can hold: the RIFF size counts everything
// after its own field and must fit in 32 bits.
inline constexpr std::uint64_t kMaxRiffDataBytes = 0xFFFFFFFFull - (kWavHeaderBytes - 8);

using WavHeader = std::array<std::uint8_t, kWavHeaderBytes>;

// The header of a file holding dataBytes of PCM in `format`; RF64 when dataBytes exceeds
// kMaxRiffDataBytes.
WavHeader MakeWavHeader(WavFormat format, std::uint64_t dataBytes);

// The bytes of one sample frame (all channels).
unsigned int WavBlockAlign(WavFormat format);
