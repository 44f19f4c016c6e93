#include "ApiGuard.h"
#include "DecoderState.h"

namespace {

// One step: decode a buffer's worth (unless samples are waiting already) and write it.
int Step(Decoder& decoder) {
    int decoded = decoder.pcmDecodeResult;
    decoder.pcmDecodeResult = XA_SUCCESS;
    if (decoded == XA_SUCCESS && decoder.pcmBytes == 0) {
        if (decoder.inputEnded) {
            return XA_END_OF_INPUT;
        }
        decoded = decoder.stream.Decode(decoder.pcm.get(), kPcmBufferBytes, decoder.pcmBytes);
        decoder.inputInfo.position.store(decoder.stream.Consumed());
    }
    if (decoded == XA_END_OF_INPUT) {
        decoder.inputEnded = true;
        decoded = XA_SUCCESS;
    }
    const std::size_t bytes = decoder.pcmBytes;
    const int written = bytes != 0 ? WritePendingPcm(decoder) : XA_SUCCESS;
    if (decoded != XA_SUCCESS) {
        return decoded;
    }
    if (written != XA_SUCCESS) {
        return written;
    }
    if (bytes == 0) {
        return decoder.inputEnded ? XA_END_OF_INPUT : XA_STEP_NO_SAMPLES;
    }
    return XA_SUCCESS;
}

} // namespace

int decoder_play(XA_DecoderInfo* record) {
    Decoder* decoder = DecoderOf(record);
    if (decoder == nullptr) {
        return XA_ERROR_INVALID_PARAMETERS;
    }
    int rc = XA_ERROR_INPUT_NOT_OPEN;
    if (!InputIsOpen(*decoder)) {
        rc = XA_ERROR_INPUT_NOT_OPEN;
    } else if (!OutputIsOpen(*decoder)) {
        rc = XA_ERROR_OUTPUT_NOT_OPEN;
    } else {
        rc = Guarded([&]() -> int { return Step(*decoder); });
    }
    record->status = rc;
    return rc;
}
