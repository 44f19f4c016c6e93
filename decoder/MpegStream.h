// One MPEG audio stream decoded by libmpg123 into 16-bit PCM, read through an input module.
#pragma once

#include "decoder.h"

#include <cstddef>
#include <cstdint>
#include <mpg123.h>

struct PcmFormat {
    long sampleRate = 0;
    int channels = 0;

    bool operator==(const PcmFormat&) const = default;
};

class MpegStream {
public:
    MpegStream() = default;
    MpegStream(const MpegStream&) = delete;
    MpegStream& operator=(const MpegStream&) = delete;
    ~MpegStream();

    // Opens the stream over an open input and reads until the first frame's format is known.
    // With `target`, everything is decoded into that format; otherwise the first frame's format
    // is kept for the whole stream. XA_ERROR_INPUT_NOT_MPEG when there is no MPEG audio frame.
    int Open(const XA_InputModule& module, XA_InputModuleState* input, const PcmFormat* target);

    // Decodes into `pcm` until it is full or the stream ends; `produced` tells how many bytes.
    // XA_SUCCESS, XA_END_OF_INPUT (possibly with a last few bytes) or an error.
    int Decode(unsigned char* pcm, std::size_t capacity, std::size_t& produced);

    void Close();

    PcmFormat Format() const { return m_format; }
    // Bytes of the input that the decoder has consumed.
    std::uint64_t Consumed() const { return m_offset; }

private:
    static mpg123_ssize_t ReadInput(void* self, void* buffer, std::size_t bytes);
    static off_t SeekInput(void* self, off_t offset, int whence);
    int AllowOnly(const PcmFormat& format);
    int ErrorCode(int mpg123Result) const;

    mpg123_handle* m_handle = nullptr;
    const XA_InputModule* m_module = nullptr;
    XA_InputModuleState* m_input = nullptr;
    std::uint64_t m_offset = 0;
    int m_readError = XA_SUCCESS; // the input's error behind a failed read, kept for the caller
    bool m_endOfFile = false;     // the input has reported its end
    PcmFormat m_format;
};
