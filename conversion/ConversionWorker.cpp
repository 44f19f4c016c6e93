#include "ConversionWorker.h"

#include "ConversionJob.h"
#include "MessageBox.h"
#include "StringTable.h"
#include "decoder.h"
#include "resource.h"

#include <mutex>
#include <string>
#include <string_view>

namespace {

// String `id` with its one "%s" filled with the decoder's text for `rc` ("%%" stands for '%').
std::string FormatDecoderError(unsigned int id, int rc) {
    const std::string_view format = LoadStringResource(id);
    const char* detail = xaudio_error_string(rc);
    std::string text;
    bool filled = false;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size()) {
            if (format[i + 1] == '%') {
                text += '%';
                ++i;
                continue;
            }
            if (format[i + 1] == 's' && !filled) {
                text += detail != nullptr ? detail : "";
                filled = true;
                ++i;
                continue;
            }
        }
        text += format[i];
    }
    return text;
}

// Shows the failure from this thread and waits until it is dismissed; the job stays not done meanwhile.
void ReportFailure(const ConversionJob& job, unsigned int id, int rc) {
    AfxMessageBox(FormatDecoderError(id, rc), MB_OK | MB_ICONEXCLAMATION, job.m_strSource);
}

bool PlayGoesOn(int rc) {
    return rc == XA_SUCCESS || rc == XA_STEP_NO_SAMPLES || rc == XA_STEP_SKIPPED_DATA;
}

// Everything from the decoder's creation to the end of the conversion. Returns early after a
// reported failure; the caller then ends the job all the same.
void Convert(ConversionJob& job) {
    int rc = 0;
    {
        std::lock_guard guard(job.m_lifeLock);
        rc = decoder_new(&job.m_pDecoder);
    }
    if (rc != XA_SUCCESS) {
        ReportFailure(job, IDS_ERR_DECODER_INIT, rc);
        return;
    }
    XA_DecoderInfo* const decoder = job.m_pDecoder;

    XA_InputModule inputModule{};
    XA_OutputModule outputModule{};
    file_input_module_register(&inputModule);
    decoder_input_module_register(decoder, &inputModule);
    file_output_module_register(&outputModule);
    decoder_output_module_register(decoder, &outputModule);
    audio_output_module_register(&outputModule);
    decoder_output_module_register(decoder, &outputModule);

    decoder->client = decoder;

    const std::string outputName = "wav:" + job.m_strDest;
    decoder_output_new(decoder, outputName.c_str(), XA_DECODER_MODULE_AUTO);
    rc = decoder_output_open(decoder);
    if (rc != XA_SUCCESS) {
        ReportFailure(job, IDS_ERR_OUTPUT_OPEN, rc);
        return;
    }

    XA_OutputControl control{};
    control.ports = XA_OUTPUT_PORT_FIRST | XA_OUTPUT_PORT_SECOND;
    decoder_output_set_control(decoder, &control, XA_DECODER_CONTROL_PORTS);

    decoder_input_new(decoder, job.m_strSource.c_str(), XA_DECODER_MODULE_AUTO);
    rc = decoder_input_open(decoder);
    if (rc != XA_SUCCESS) {
        ReportFailure(job, IDS_ERR_INPUT_OPEN, rc);
        return;
    }

    do {
        rc = decoder_play(decoder);
    } while (PlayGoesOn(rc) && job.m_bAbort == 0);

    decoder_output_set_control(decoder, nullptr, XA_DECODER_CONTROL_DRAIN);
    {
        std::lock_guard guard(job.m_lifeLock);
        decoder_input_close(decoder);
    }
    // A failed step (a full disk, a read error) is no finished conversion: say so. What was
    // written stays, with a valid header.
    if (!PlayGoesOn(rc) && rc != XA_END_OF_INPUT) {
        ReportFailure(job, IDS_ERR_CONVERSION, rc);
    }
}

void EndJob(ConversionJob& job) {
    std::lock_guard guard(job.m_lifeLock);
    if (job.m_pDecoder != nullptr) {
        decoder_delete(job.m_pDecoder);
    }
    job.m_pDecoder = nullptr;
    // Done before no-thread: whoever sees no thread also sees the job done, and never starts a
    // second worker for it. From here on the record belongs to the queue.
    job.m_bDone = 1;
    job.m_hThread = 0;
}

} // namespace

void ConversionWorker(void* argument) {
    if (argument == nullptr) {
        return;
    }
    auto& job = *static_cast<ConversionJob*>(argument);
    try {
        job.m_bDone = 0;
        job.m_bAbort = 0;
        Convert(job);
    } catch (...) {
        // Nothing is reported; the job ends as after any other outcome.
    }
    EndJob(job);
}
