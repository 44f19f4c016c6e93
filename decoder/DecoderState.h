// The library's private side of a decoder record, shared by the files of the operations.
#pragma once

#include "MpegStream.h"
#include "decoder.h"

#include <memory>
#include <string>
#include <vector>

struct Decoder {
    Decoder();

    XA_DecoderInfo record{};
    std::vector<XA_InputModule> inputModules;
    std::vector<XA_OutputModule> outputModules;

    // Input. inputInfo lives as long as the decoder, so that a progress reader holding an old
    // `input` pointer never reads freed memory.
    int inputModule = XA_ERROR_NO_SUCH_MODULE;
    std::string inputName;
    XA_InputModuleState* inputState = nullptr;
    MpegStream stream;
    XA_InputInfo inputInfo{};
    bool inputEnded = false;

    // Output.
    int outputModule = XA_ERROR_NO_SUCH_MODULE;
    std::string outputName;
    XA_OutputModuleState* outputState = nullptr;
    XA_OutputInfo outputInfo{};
    bool outputHasFormat = false;
    unsigned int ports = XA_OUTPUT_PORT_FIRST | XA_OUTPUT_PORT_SECOND;

    // Decoded samples not yet handed to the output, and how their decoding ended (a read error
    // or the end of the input comes into effect once they are written).
    std::unique_ptr<unsigned char[]> pcm;
    std::size_t pcmBytes = 0;
    int pcmDecodeResult = XA_SUCCESS;
};

// Large steps keep the per-step cost (a call, a write) small against the decoding itself.
inline constexpr std::size_t kPcmBufferBytes = 512 * 1024;

// The decoder behind a record, or null for a null record.
Decoder* DecoderOf(XA_DecoderInfo* record);

bool InputIsOpen(const Decoder& decoder);
void CloseInput(Decoder& decoder);

bool OutputIsOpen(const Decoder& decoder);
// Hands the buffered samples to the output, announcing the format first when it is new.
int WritePendingPcm(Decoder& decoder);
// Completes and closes the output; the result of its close.
int CloseOutput(Decoder& decoder);
