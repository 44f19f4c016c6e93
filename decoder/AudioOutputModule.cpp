// The audio output: this program only writes WAV files and has no sound output, so the module
// takes the names that select an audio device ("audio:..." and the empty name) and reports the
// device unavailable instead of playing anything. Callers that register it keep working, and a
// name meant for a sound device fails clearly rather than being written to a file.
#include "decoder.h"

#include <cstring>

namespace {

bool AcceptsDeviceName(const char* name) {
    return name[0] == '\0' || std::strncmp(name, "audio:", 6) == 0;
}

int OpenDevice(const char* /*name*/, XA_OutputModuleState** /*state*/) {
    return XA_ERROR_OUTPUT_DEVICE_UNAVAILABLE;
}

} // namespace

int audio_output_module_register(XA_OutputModule* module) {
    if (module == nullptr) {
        return XA_ERROR_INVALID_PARAMETERS;
    }
    *module = XA_OutputModule{AcceptsDeviceName, OpenDevice, nullptr, nullptr, nullptr, nullptr};
    return XA_SUCCESS;
}
