#include "ApiGuard.h"
#include "DecoderState.h"
#include "ModuleSelection.h"

namespace {

// Bit n of a control mask applies member n + 1 of XA_OutputControl.
constexpr unsigned int kControlBytesPerSample = 0x01;
constexpr unsigned int kControlMembers = 0x7F;
constexpr unsigned int kKnownPorts = XA_OUTPUT_PORT_FIRST | XA_OUTPUT_PORT_SECOND;

const XA_OutputModule& OpenModule(const Decoder& decoder) {
    return decoder.outputModules[static_cast<std::size_t>(decoder.outputModule)];
}

int ApplyControl(Decoder& decoder, const XA_OutputControl& control, unsigned int mask) {
    if ((mask & kControlBytesPerSample) != 0 && control.bytes_per_sample != 2) {
        return XA_ERROR_INVALID_PARAMETERS;
    }
    if ((mask & XA_DECODER_CONTROL_PORTS) != 0) {
        if ((control.ports & ~kKnownPorts) != 0) {
            return XA_ERROR_INVALID_PARAMETERS;
        }
        decoder.ports = control.ports;
    }
    // The rate and channels always follow the stream; the levels and balance are reserved.
    return XA_SUCCESS;
}

} // namespace

bool OutputIsOpen(const Decoder& decoder) {
    return decoder.outputState != nullptr;
}

int WritePendingPcm(Decoder& decoder) {
    const std::size_t bytes = decoder.pcmBytes;
    decoder.pcmBytes = 0;
    const XA_OutputModule& module = OpenModule(decoder);
    if (!decoder.outputHasFormat) {
        const PcmFormat format = decoder.stream.Format();
        const auto sampleRate = static_cast<unsigned int>(format.sampleRate);
        const auto channels = static_cast<unsigned int>(format.channels);
        const int rc = module.set_format(decoder.outputState, sampleRate, channels);
        if (rc != XA_SUCCESS) {
            return rc;
        }
        decoder.outputHasFormat = true;
        decoder.outputInfo.sample_rate = sampleRate;
        decoder.outputInfo.channels = channels;
    }
    if (bytes == 0 || (decoder.ports & XA_OUTPUT_PORT_FIRST) == 0) {
        return XA_SUCCESS;
    }
    const int rc = module.write(decoder.outputState, decoder.pcm.get(), bytes);
    if (rc == XA_SUCCESS) {
        decoder.outputInfo.bytes_written += bytes;
    }
    return rc;
}

int CloseOutput(Decoder& decoder) {
    if (!OutputIsOpen(decoder)) {
        return XA_SUCCESS;
    }
    decoder.record.output.store(nullptr);
    const int rc = OpenModule(decoder).close(decoder.outputState);
    decoder.outputState = nullptr;
    decoder.outputHasFormat = false;
    return rc;
}

int decoder_output_new(XA_DecoderInfo* record, const char* name, int module) {
    Decoder* decoder = DecoderOf(record);
    if (decoder == nullptr || name == nullptr) {
        return XA_ERROR_INVALID_PARAMETERS;
    }
    return Guarded([&]() -> int {
        CloseOutput(*decoder);
        decoder->outputModule = SelectModule(decoder->outputModules, name, module);
        decoder->outputName = name;
        return decoder->outputModule < 0 ? decoder->outputModule : XA_SUCCESS;
    });
}

int decoder_output_open(XA_DecoderInfo* record) {
    Decoder* decoder = DecoderOf(record);
    if (decoder == nullptr) {
        return XA_ERROR_INVALID_PARAMETERS;
    }
    if (decoder->outputModule < 0) {
        return XA_ERROR_NO_SUCH_MODULE;
    }
    if (OutputIsOpen(*decoder)) {
        return XA_SUCCESS;
    }
    return Guarded([&]() -> int {
        const int rc = OpenModule(*decoder).open(decoder->outputName.c_str(), &decoder->outputState);
        if (rc != XA_SUCCESS) {
            decoder->outputState = nullptr;
            return rc;
        }
        decoder->outputInfo = XA_OutputInfo{decoder->outputName.c_str(), 0, 0, 0};
        decoder->record.output.store(&decoder->outputInfo);
        return XA_SUCCESS;
    });
}

int decoder_output_set_control(XA_DecoderInfo* record, const XA_OutputControl* control, unsigned int mask) {
    Decoder* decoder = DecoderOf(record);
    if (decoder == nullptr || (mask & ~(kControlMembers | XA_DECODER_CONTROL_DRAIN)) != 0 ||
        ((mask & kControlMembers) != 0 && control == nullptr)) {
        return XA_ERROR_INVALID_PARAMETERS;
    }
    if ((mask & kControlMembers) != 0) {
        const int rc = ApplyControl(*decoder, *control, mask);
        if (rc != XA_SUCCESS) {
            return rc;
        }
    }
    if ((mask & XA_DECODER_CONTROL_DRAIN) == 0) {
        return XA_SUCCESS;
    }
    if (!OutputIsOpen(*decoder)) {
        return XA_ERROR_OUTPUT_NOT_OPEN;
    }
    return Guarded([&]() -> int {
        if (decoder->pcmBytes != 0) {
            const int rc = WritePendingPcm(*decoder);
            if (rc != XA_SUCCESS) {
                return rc;
            }
        }
        return OpenModule(*decoder).drain(decoder->outputState);
    });
}
