// Feeds arbitrary bytes to the decoder as an input file and converts them into a WAV file, the
// way the conversion worker does.
#include "decoder.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace {

bool PlayGoesOn(int rc) {
    return rc == XA_SUCCESS || rc == XA_STEP_NO_SAMPLES || rc == XA_STEP_SKIPPED_DATA;
}

// One scratch folder for the whole run; every conversion overwrites the same file.
const std::string& OutputName() {
    static const std::string name = [] {
        std::string folder = "/tmp/larkspur-fuzz-XXXXXX";
        if (mkdtemp(folder.data()) == nullptr) {
            std::abort();
        }
        return "wav:" + folder + "/out.wav";
    }();
    return name;
}

void Convert(const std::string& source) {
    XA_DecoderInfo* decoder = nullptr;
    if (decoder_new(&decoder) != XA_SUCCESS) {
        std::abort();
    }
    XA_InputModule input{};
    XA_OutputModule output{};
    file_input_module_register(&input);
    decoder_input_module_register(decoder, &input);
    file_output_module_register(&output);
    decoder_output_module_register(decoder, &output);
    decoder_output_new(decoder, OutputName().c_str(), XA_DECODER_MODULE_AUTO);
    if (decoder_output_open(decoder) == XA_SUCCESS) {
        decoder_input_new(decoder, source.c_str(), XA_DECODER_MODULE_AUTO);
        if (decoder_input_open(decoder) == XA_SUCCESS) {
            int rc = XA_SUCCESS;
            while (PlayGoesOn(rc)) {
                rc = decoder_play(decoder);
            }
            decoder_output_set_control(decoder, nullptr, XA_DECODER_CONTROL_DRAIN);
            decoder_input_close(decoder);
        }
    }
    decoder_delete(decoder);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const int fd = memfd_create("larkspur-fuzz-input", MFD_CLOEXEC);
    if (fd < 0) {
        std::abort();
    }
    for (std::size_t done = 0; done < size;) {
        const ssize_t n = write(fd, data + done, size - done);
        if (n <= 0) {
            std::abort();
        }
        done += static_cast<std::size_t>(n);
    }
    Convert("/proc/self/fd/" + std::to_string(fd));
    close(fd);
    return 0;
}
