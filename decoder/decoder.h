// The decoding library: turns an MPEG audio file (MPEG-1, -2, -2.5, Layer I-III) into a WAV file,
// one step at a time, over libmpg123.
//
// Usage, on one thread:
//   decoder_new(&d);
//   file_input_module_register(&in);  decoder_input_module_register(d, &in);
//   file_output_module_register(&out); decoder_output_module_register(d, &out);
//   decoder_output_new(d, "wav:/path/out.wav", XA_DECODER_MODULE_AUTO); decoder_output_open(d);
//   decoder_input_new(d, "/path/in.mp3", XA_DECODER_MODULE_AUTO);      decoder_input_open(d);
//   while ((rc = decoder_play(d)) is XA_SUCCESS or a go-on code) ...;
//   decoder_input_close(d); decoder_delete(d);
//
// Every operation returns XA_SUCCESS (0) or a negative XA_ERROR_... code; xaudio_error_string
// gives a text for any code. The progress figures of an attached input (XA_InputInfo::position
// and ::size) may be read from any thread while another thread plays.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

// Result codes.
enum XA_Result : int {
    XA_SUCCESS = 0,

    // decoder_play results that mean "go on playing".
    XA_STEP_SKIPPED_DATA = -103, // damaged or foreign data was skipped to reach the next frame
    XA_STEP_NO_SAMPLES = -600,   // the step produced no samples (a tag, a header frame)

    // The end of the input: the conversion is complete.
    XA_END_OF_INPUT = -101,

    XA_ERROR_OUT_OF_MEMORY = -1,
    XA_ERROR_INVALID_PARAMETERS = -2,
    XA_ERROR_INTERNAL = -3,
    XA_ERROR_NO_SUCH_MODULE = -4, // no registered module accepts the name

    XA_ERROR_INPUT_NOT_FOUND = -110,
    XA_ERROR_INPUT_ACCESS_DENIED = -111,
    XA_ERROR_INPUT_IS_DIRECTORY = -112,
    XA_ERROR_INPUT_NOT_MPEG = -113, // no decodable MPEG audio frame
    XA_ERROR_INPUT_READ_FAILED = -114,
    XA_ERROR_INPUT_NOT_OPEN = -115,

    XA_ERROR_OUTPUT_CREATE_FAILED = -210,
    XA_ERROR_OUTPUT_ACCESS_DENIED = -211,
    XA_ERROR_OUTPUT_WRITE_FAILED = -212,
    XA_ERROR_OUTPUT_DISK_FULL = -213,
    XA_ERROR_OUTPUT_NOT_OPEN = -214,
    XA_ERROR_OUTPUT_DEVICE_UNAVAILABLE = -215,
};

// Selects the first registered module that accepts the name ("wav:..." for the WAV file output).
inline constexpr int XA_DECODER_MODULE_AUTO = -1;

// Bits of decoder_output_set_control's mask. Bit n applies member n + 1 of XA_OutputControl.
inline constexpr unsigned int XA_DECODER_CONTROL_PORTS = 0x0040;
// A command without a record: write all buffered samples and bring the file's header up to date.
inline constexpr unsigned int XA_DECODER_CONTROL_DRAIN = 0x1000;

// Output ports, for XA_OutputControl::ports.
inline constexpr unsigned int XA_OUTPUT_PORT_FIRST = 0x1;
inline constexpr unsigned int XA_OUTPUT_PORT_SECOND = 0x2;

struct XA_DecoderInfo;

// What an input reports while it is decoded. position and size are byte counts of the input file.
struct XA_InputInfo {
    const char* name;                    // the path given to decoder_input_new
    unsigned int flags;                  // reserved, 0
    std::atomic<std::uint64_t> position; // bytes of the input consumed so far
    std::atomic<std::uint64_t> size;     // total bytes of the input
};

struct XA_OutputInfo {
    const char* name; // the name given to decoder_output_new, "wav:" prefix included
    unsigned int sample_rate;
    unsigned int channels;
    std::uint64_t bytes_written; // PCM bytes written so far
};

struct XA_InputModuleState;
struct XA_OutputModuleState;

// A module record: filled by a *_module_register function, then handed to the decoder, which
// copies it. The callbacks belong to the library; callers only pass the record on. Every
// callback but accepts and open works on a state that open returned.
struct XA_InputModule {
    bool (*accepts)(const char* name); // whether XA_DECODER_MODULE_AUTO may pick this module
    int (*open)(const char* name, XA_InputModuleState** state);
    long (*read)(XA_InputModuleState* state, void* buffer, std::size_t bytes);         // < 0: an XA_ERROR
    std::int64_t (*seek)(XA_InputModuleState* state, std::int64_t offset, int whence); // < 0: fails
    std::uint64_t (*size)(XA_InputModuleState* state);                                 // 0 when unknown
    void (*close)(XA_InputModuleState* state);
};

// An output receives 16-bit PCM in one format, announced by set_format before the first write.
// A module whose open never succeeds needs no other callbacks.
struct XA_OutputModule {
    bool (*accepts)(const char* name); // whether XA_DECODER_MODULE_AUTO may pick this module
    int (*open)(const char* name, XA_OutputModuleState** state);
    int (*set_format)(XA_OutputModuleState* state, unsigned int sample_rate, unsigned int channels);
    int (*write)(XA_OutputModuleState* state, const void* pcm, std::size_t bytes);
    int (*drain)(XA_OutputModuleState* state);
    int (*close)(XA_OutputModuleState* state); // also completes the file's header
};

// Output settings applied by decoder_output_set_control, member by member, as the mask selects.
struct XA_OutputControl {
    unsigned int bytes_per_sample; // 1: only 2 (16-bit PCM) is supported
    unsigned int sample_rate;      // 2: informative; the stream's rate is always kept
    unsigned int channels;         // 3: informative; the stream's channels are always kept
    unsigned int master_level;     // 4: reserved
    unsigned int pcm_level;        // 5: reserved
    unsigned int balance;          // 6: reserved
    unsigned int ports;            // 7: which opened outputs receive samples (XA_OUTPUT_PORT_...)
};

// The decoder record. The library owns it; callers read `input` and may use `client`.
struct XA_DecoderInfo {
    const char* name;                   // 1: "mpg123"
    std::atomic<XA_InputInfo*> input;   // 2: null until an input is open, and again after it is closed
    std::atomic<XA_OutputInfo*> output; // 3: null until an output is open
    int status;                         // 4: the last result of decoder_play
    void* reserved;                     // 5
    void* hidden;                       // 6: the library's private state
    void* client;                       // 7: the caller's own pointer; the library never touches it
};

int decoder_new(XA_DecoderInfo** decoder);
int decoder_delete(XA_DecoderInfo* decoder);
const char* xaudio_error_string(int code);

int file_input_module_register(XA_InputModule* module);
int decoder_input_module_register(XA_DecoderInfo* decoder, const XA_InputModule* module);
int file_output_module_register(XA_OutputModule* module);
int audio_output_module_register(XA_OutputModule* module);
int decoder_output_module_register(XA_DecoderInfo* decoder, const XA_OutputModule* module);

int decoder_output_new(XA_DecoderInfo* decoder, const char* name, int module);
int decoder_output_open(XA_DecoderInfo* decoder);
int decoder_output_set_control(XA_DecoderInfo* decoder, const XA_OutputControl* control, unsigned int mask);
int decoder_input_new(XA_DecoderInfo* decoder, const char* name, int module);
int decoder_input_open(XA_DecoderInfo* decoder);
int decoder_play(XA_DecoderInfo* decoder);
int decoder_input_close(XA_DecoderInfo* decoder);
