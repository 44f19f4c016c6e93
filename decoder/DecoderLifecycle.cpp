#include "ApiGuard.h"
#include "DecoderState.h"

Decoder::Decoder() : pcm(std::make_unique<unsigned char[]>(kPcmBufferBytes)) {
    record.name = "mpg123";
    record.hidden = this;
}

Decoder* DecoderOf(XA_DecoderInfo* record) {
    return record != nullptr ? static_cast<Decoder*>(record->hidden) : nullptr;
}

int decoder_new(XA_DecoderInfo** decoder) {
    if (decoder == nullptr) {
        return XA_ERROR_INVALID_PARAMETERS;
    }
    *decoder = nullptr;
    return Guarded([&]() -> int {
        *decoder = &(new Decoder)->record;
        return XA_SUCCESS;
    });
}

int decoder_delete(XA_DecoderInfo* record) {
    Decoder* decoder = DecoderOf(record);
    if (decoder == nullptr) {
        return XA_ERROR_INVALID_PARAMETERS;
    }
    CloseInput(*decoder);
    const int rc = CloseOutput(*decoder);
    delete decoder;
    return rc;
}

int decoder_input_module_register(XA_DecoderInfo* record, const XA_InputModule* module) {
    Decoder* decoder = DecoderOf(record);
    if (decoder == nullptr || module == nullptr || module->accepts == nullptr || module->open == nullptr ||
        module->read == nullptr || module->seek == nullptr || module->size == nullptr ||
        module->close == nullptr) {
        return XA_ERROR_INVALID_PARAMETERS;
    }
    return Guarded([&]() -> int {
        decoder->inputModules.push_back(*module);
        return XA_SUCCESS;
    });
}

int decoder_output_module_register(XA_DecoderInfo* record, const XA_OutputModule* module) {
    Decoder* decoder = DecoderOf(record);
    if (decoder == nullptr || module == nullptr || module->accepts == nullptr || module->open == nullptr) {
        return XA_ERROR_INVALID_PARAMETERS;
    }
    // A module either does all of an open output's work or never opens one.
    const int callbacks = (module->set_format != nullptr) + (module->write != nullptr) +
                          (module->drain != nullptr) + (module->close != nullptr);
    if (callbacks != 0 && callbacks != 4) {
        return XA_ERROR_INVALID_PARAMETERS;
    }
    return Guarded([&]() -> int {
        decoder->outputModules.push_back(*module);
        return XA_SUCCESS;
    });
}
