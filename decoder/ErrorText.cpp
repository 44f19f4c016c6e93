#include "decoder.h"

const char* xaudio_error_string(int code) {
    switch (code) {
    case XA_SUCCESS:
        return "no error";
    case XA_STEP_SKIPPED_DATA:
        return "damaged or foreign data was skipped";
    case XA_STEP_NO_SAMPLES:
        return "the step produced no samples";
    case XA_END_OF_INPUT:
        return "end of the input";
    case XA_ERROR_OUT_OF_MEMORY:
        return "out of memory";
    case XA_ERROR_INVALID_PARAMETERS:
        return "invalid parameters";
    case XA_ERROR_INTERNAL:
        return "internal error of the decoder";
    case XA_ERROR_NO_SUCH_MODULE:
        return "no module accepts that name";
    case XA_ERROR_INPUT_NOT_FOUND:
        return "file not found";
    case XA_ERROR_INPUT_ACCESS_DENIED:
        return "permission denied reading the file";
    case XA_ERROR_INPUT_IS_DIRECTORY:
        return "the path is a folder, not a file";
    case XA_ERROR_INPUT_NOT_MPEG:
        return "not an MPEG audio file (no decodable frame)";
    case XA_ERROR_INPUT_READ_FAILED:
        return "the file could not be read";
    case XA_ERROR_INPUT_NOT_OPEN:
        return "no input is open";
    case XA_ERROR_OUTPUT_CREATE_FAILED:
        return "cannot create the output file";
    case XA_ERROR_OUTPUT_ACCESS_DENIED:
        return "permission denied writing the output file";
    case XA_ERROR_OUTPUT_WRITE_FAILED:
        return "writing the output file failed";
    case XA_ERROR_OUTPUT_DISK_FULL:
        return "the disk is full";
    case XA_ERROR_OUTPUT_NOT_OPEN:
        return "no output is open";
    case XA_ERROR_OUTPUT_DEVICE_UNAVAILABLE:
        return "no audio device: this program writes WAV files only";
    default:
        return "unknown decoder error";
    }
}
