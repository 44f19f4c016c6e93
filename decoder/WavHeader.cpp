#include "WavHeader.h"

#include <cstring>

namespace {

constexpr std::uint32_t kSizeInDs64 = 0xFFFFFFFFu;
constexpr std::uint16_t kPcmFormatTag = 1;
constexpr std::uint16_t kBitsPerSample = 16;
constexpr std::uint32_t kDs64PayloadBytes = 28;

// Writes little-endian fields one after the other.
class HeaderWriter {
public:
    explicit HeaderWriter(WavHeader& header) : m_header(header) {}

    void Tag(const char (&tag)[5]) {
        std::memcpy(&m_header[m_offset], tag, 4);
        m_offset += 4;
    }
    void U16(std::uint16_t value) { Little(value, 2); }
    void U32(std::uint32_t value) { Little(value, 4); }
    void U64(std::uint64_t value) { Little(value, 8); }

private:
    void Little(std::uint64_t value, std::size_t bytes) {
        for (std::size_t i = 0; i < bytes; ++i) {
            m_header[m_offset++] = static_cast<std::uint8_t>(value >> (8 * i));
        }
    }

    WavHeader& m_header;
    std::size_t m_offset = 0;
};

} // namespace

unsigned int WavBlockAlign(WavFormat format) {
    return format.channels * (kBitsPerSample / 8);
}

WavHeader MakeWavHeader(WavFormat format, std::uint64_t dataBytes) {
    const bool rf64 = dataBytes > kMaxRiffDataBytes;
    const std::uint64_t riffBytes = (kWavHeaderBytes - 8) + dataBytes;
    const unsigned int blockAlign = WavBlockAlign(format);

    WavHeader header{};
    HeaderWriter out(header);
    if (rf64) {
        out.Tag("RF64");
        out.U32(kSizeInDs64);
        out.Tag("WAVE");
        out.Tag("ds64");
        out.U32(kDs64PayloadBytes);
        out.U64(riffBytes);
        out.U64(dataBytes);
        out.U64(blockAlign == 0 ? 0 : dataBytes / blockAlign);
        out.U32(0); // no table of other chunk sizes
    } else {
        out.Tag("RIFF");
        out.U32(static_cast<std::uint32_t>(riffBytes));
        out.Tag("WAVE");
        out.Tag("JUNK");
        out.U32(kDs64PayloadBytes);
        out.U64(0);
        out.U64(0);
        out.U64(0);
        out.U32(0);
    }
    out.Tag("fmt ");
    out.U32(16);
    out.U16(kPcmFormatTag);
    out.U16(static_cast<std::uint16_t>(format.channels));
    out.U32(format.sampleRate);
    out.U32(format.sampleRate * blockAlign);
    out.U16(static_cast<std::uint16_t>(blockAlign));
    out.U16(kBitsPerSample);
    out.Tag("data");
    out.U32(rf64 ? kSizeInDs64 : static_cast<std::uint32_t>(dataBytes));
    return header;
}
