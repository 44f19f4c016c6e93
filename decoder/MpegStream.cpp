#include "MpegStream.h"

namespace {

constexpr int kBothChannelCounts = MPG123_MONO | MPG123_STEREO;

} // namespace

MpegStream::~MpegStream() {
    Close();
}

void MpegStream::Close() {
    if (m_handle != nullptr) {
        mpg123_delete(m_handle);
        m_handle = nullptr;
    }
    m_module = nullptr;
    m_input = nullptr;
    m_offset = 0;
    m_readError = XA_SUCCESS;
    m_endOfFile = false;
    m_format = PcmFormat{};
}

int MpegStream::AllowOnly(const PcmFormat& format) {
    mpg123_format_none(m_handle);
    return mpg123_format(m_handle, format.sampleRate, format.channels, MPG123_ENC_SIGNED_16) == MPG123_OK
               ? XA_SUCCESS
               : XA_ERROR_INTERNAL;
}

int MpegStream::ErrorCode(int mpg123Result) const {
    if (m_readError != XA_SUCCESS) {
        return m_readError;
    }
    switch (mpg123Result) {
    case MPG123_OUT_OF_MEM:
        return XA_ERROR_OUT_OF_MEMORY;
    case MPG123_RESYNC_FAIL:
        // What follows the last good frame is not audio; everything before it was decoded.
        return XA_END_OF_INPUT;
    case MPG123_ERR_READER:
        // On an input that cannot seek (a pipe) that ends inside a frame, libmpg123 fails to step
        // back over the cut-off frame; every whole frame before it has been decoded.
        return m_endOfFile ? XA_END_OF_INPUT : XA_ERROR_INPUT_READ_FAILED;
    default:
        return XA_ERROR_INTERNAL;
    }
}

int MpegStream::Open(const XA_InputModule& module, XA_InputModuleState* input, const PcmFormat* target) {
    Close();
    int result = MPG123_OK;
    m_handle = mpg123_new(nullptr, &result);
    if (m_handle == nullptr) {
        return result == MPG123_OUT_OF_MEM ? XA_ERROR_OUT_OF_MEMORY : XA_ERROR_INTERNAL;
    }
    m_module = &module;
    m_input = input;
    mpg123_param(m_handle, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);

    int rc = XA_SUCCESS;
    if (target != nullptr) {
        rc = AllowOnly(*target);
    } else {
        // Any native rate and channel count, always as 16-bit samples.
        const long* rates = nullptr;
        std::size_t rateCount = 0;
        mpg123_rates(&rates, &rateCount);
        mpg123_format_none(m_handle);
        for (std::size_t i = 0; i < rateCount; ++i) {
            mpg123_format(m_handle, rates[i], kBothChannelCounts, MPG123_ENC_SIGNED_16);
        }
    }
    if (rc != XA_SUCCESS ||
        mpg123_replace_reader_handle(m_handle, ReadInput, SeekInput, nullptr) != MPG123_OK ||
        mpg123_open_handle(m_handle, this) != MPG123_OK) {
        return ErrorCode(mpg123_errcode(m_handle));
    }

    long sampleRate = 0;
    int channels = 0;
    int encoding = 0;
    if (mpg123_getformat(m_handle, &sampleRate, &channels, &encoding) != MPG123_OK) {
        const int error = mpg123_errcode(m_handle);
        if (m_readError != XA_SUCCESS || error == MPG123_OUT_OF_MEM) {
            return ErrorCode(error);
        }
        return XA_ERROR_INPUT_NOT_MPEG;
    }
    m_format = PcmFormat{sampleRate, channels};
    // From here on libmpg123 converts frames of another rate or channel count into this format.
    return target != nullptr ? XA_SUCCESS : AllowOnly(m_format);
}

int MpegStream::Decode(unsigned char* pcm, std::size_t capacity, std::size_t& produced) {
    produced = 0;
    const int result = mpg123_read(m_handle, pcm, capacity, &produced);
    if (m_readError != XA_SUCCESS) {
        // libmpg123 takes a failed read for the end of the stream; it is not.
        return m_readError;
    }
    switch (result) {
    case MPG123_OK:
        return XA_SUCCESS;
    case MPG123_DONE:
        return XA_END_OF_INPUT;
    case MPG123_NEW_FORMAT: {
        long sampleRate = 0;
        int channels = 0;
        int encoding = 0;
        mpg123_getformat(m_handle, &sampleRate, &channels, &encoding);
        return PcmFormat{sampleRate, channels} == m_format ? XA_SUCCESS : XA_ERROR_INTERNAL;
    }
    default:
        return ErrorCode(mpg123_errcode(m_handle));
    }
}

mpg123_ssize_t MpegStream::ReadInput(void* self, void* buffer, std::size_t bytes) {
    auto& stream = *static_cast<MpegStream*>(self);
    const long got = stream.m_module->read(stream.m_input, buffer, bytes);
    if (got < 0) {
        stream.m_readError = static_cast<int>(got);
        return -1;
    }
    stream.m_offset += static_cast<std::uint64_t>(got);
    stream.m_endOfFile = stream.m_endOfFile || (got == 0 && bytes > 0);
    return got;
}

off_t MpegStream::SeekInput(void* self, off_t offset, int whence) {
    auto& stream = *static_cast<MpegStream*>(self);
    const std::int64_t position = stream.m_module->seek(stream.m_input, offset, whence);
    if (position < 0) {
        return -1;
    }
    stream.m_offset = static_cast<std::uint64_t>(position);
    return static_cast<off_t>(position);
}
