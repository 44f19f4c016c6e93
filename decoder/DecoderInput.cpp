#include "ApiGuard.h"
#include "DecoderState.h"
#include "ModuleSelection.h"

namespace {

const XA_InputModule& SelectedModule(const Decoder& decoder) {
    return decoder.inputModules[static_cast<std::size_t>(decoder.inputModule)];
}

// Reads until the first samples, so that a file without decodable audio fails here, at open,
// and not at its first step. The samples wait in the buffer for that first step.
int DecodeFirstSamples(Decoder& decoder) {
    int rc = XA_SUCCESS;
    do {
        rc = decoder.stream.Decode(decoder.pcm.get(), kPcmBufferBytes, decoder.pcmBytes);
    } while (rc == XA_SUCCESS && decoder.pcmBytes == 0);
    if (decoder.pcmBytes == 0) {
        return rc == XA_END_OF_INPUT ? XA_ERROR_INPUT_NOT_MPEG : rc;
    }
    decoder.pcmDecodeResult = rc;
    return XA_SUCCESS;
}

int OpenStream(Decoder& decoder) {
    const XA_InputModule& module = SelectedModule(decoder);
    const PcmFormat outputFormat{static_cast<long>(decoder.outputInfo.sample_rate),
                                 static_cast<int>(decoder.outputInfo.channels)};
    // An output that already has samples keeps its format for this input too.
    int rc =
        decoder.stream.Open(module, decoder.inputState, decoder.outputHasFormat ? &outputFormat : nullptr);
    if (rc == XA_SUCCESS) {
        rc = DecodeFirstSamples(decoder);
    }
    return rc;
}

} // namespace

bool InputIsOpen(const Decoder& decoder) {
    return decoder.inputState != nullptr;
}

void CloseInput(Decoder& decoder) {
    if (!InputIsOpen(decoder)) {
        return;
    }
    decoder.record.input.store(nullptr);
    decoder.stream.Close();
    SelectedModule(decoder).close(decoder.inputState);
    decoder.inputState = nullptr;
    decoder.inputEnded = false;
    decoder.pcmBytes = 0;
    decoder.pcmDecodeResult = XA_SUCCESS;
}

int decoder_input_new(XA_DecoderInfo* record, const char* name, int module) {
    Decoder* decoder = DecoderOf(record);
    if (decoder == nullptr || name == nullptr) {
        return XA_ERROR_INVALID_PARAMETERS;
    }
    return Guarded([&]() -> int {
        CloseInput(*decoder);
        decoder->inputModule = SelectModule(decoder->inputModules, name, module);
        decoder->inputName = name;
        return decoder->inputModule < 0 ? decoder->inputModule : XA_SUCCESS;
    });
}

int decoder_input_open(XA_DecoderInfo* record) {
    Decoder* decoder = DecoderOf(record);
    if (decoder == nullptr) {
        return XA_ERROR_INVALID_PARAMETERS;
    }
    if (decoder->inputModule < 0) {
        return XA_ERROR_NO_SUCH_MODULE;
    }
    if (InputIsOpen(*decoder)) {
        return XA_SUCCESS;
    }
    return Guarded([&]() -> int {
        const XA_InputModule& module = SelectedModule(*decoder);
        int rc = module.open(decoder->inputName.c_str(), &decoder->inputState);
        if (rc != XA_SUCCESS) {
            decoder->inputState = nullptr;
            return rc;
        }
        XA_InputInfo& info = decoder->inputInfo;
        info.name = decoder->inputName.c_str();
        info.size.store(module.size(decoder->inputState));
        info.position.store(0);
        rc = OpenStream(*decoder);
        if (rc != XA_SUCCESS) {
            CloseInput(*decoder);
            return rc;
        }
        info.position.store(decoder->stream.Consumed());
        decoder->record.input.store(&info);
        return XA_SUCCESS;
    });
}

int decoder_input_close(XA_DecoderInfo* record) {
    Decoder* decoder = DecoderOf(record);
    if (decoder == nullptr) {
        return XA_ERROR_INVALID_PARAMETERS;
    }
    if (!InputIsOpen(*decoder)) {
        return XA_ERROR_INPUT_NOT_OPEN;
    }
    CloseInput(*decoder);
    return XA_SUCCESS;
}
