// Inputs and outputs that cannot be converted: each gives its own code, leaves no broken file
// and touches nothing else.
#include "DecoderTestSupport.h"

#include <csignal>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <sys/resource.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

bool RunningAsRoot() {
    return ::geteuid() == 0;
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string RandomBytes(std::size_t count) {
    std::mt19937 generator(2112);
    std::string bytes(count, '\0');
    for (char& byte : bytes) {
        byte = static_cast<char>(generator() & 0xFF);
    }
    return bytes;
}

// An ID3v2.3 tag holding one title frame, and nothing after it.
std::string Id3TagOnly() {
    const std::string frame = std::string("TIT2\0\0\0\5\0\0\0Song", 15);
    return std::string("ID3\3\0\0\0\0\0", 9) + static_cast<char>(frame.size()) + frame;
}

struct InputCase {
    const char* name;
    std::function<std::string(const TempFolder&)> make; // makes the input, gives its path
    int expected;
    bool needsNonRoot = false;
};

void PrintTo(const InputCase& input, std::ostream* out) {
    *out << input.name;
}

class BadInput : public testing::TestWithParam<InputCase> {};

TEST_P(BadInput, FailsToOpenAndLeavesNoOutput) {
    if (GetParam().needsNonRoot && RunningAsRoot()) {
        GTEST_SKIP() << "root reads every file";
    }
    TempFolder folder;
    const std::string source = GetParam().make(folder);
    const ConversionResult result = Convert(source, folder / "out.wav");
    EXPECT_EQ(result.outputOpen, XA_SUCCESS);
    EXPECT_EQ(result.inputOpen, GetParam().expected)
        << xaudio_error_string(result.inputOpen) << " instead of "
        << xaudio_error_string(GetParam().expected);
    EXPECT_FALSE(fs::exists(folder / "out.wav")) << "a failed conversion left an empty output";
}

const InputCase kBadInputs[] = {
    {"Missing", [](const TempFolder& f) { return f / "missing.mp3"; }, XA_ERROR_INPUT_NOT_FOUND},
    {"Directory",
     [](const TempFolder& f) {
         fs::create_directory(f / "folder.mp3");
         return f / "folder.mp3";
     },
     XA_ERROR_INPUT_IS_DIRECTORY},
    {"Unreadable",
     [](const TempFolder& f) {
         fs::copy_file(FixturePath("cbr-stereo.mp3"), f / "locked.mp3");
         fs::permissions(f / "locked.mp3", fs::perms::none);
         return f / "locked.mp3";
     },
     XA_ERROR_INPUT_ACCESS_DENIED, true},
    {"Empty",
     [](const TempFolder& f) {
         WriteFile(f / "empty.mp3", "");
         return f / "empty.mp3";
     },
     XA_ERROR_INPUT_NOT_MPEG},
    {"RandomBytes",
     [](const TempFolder& f) {
         WriteFile(f / "random.mp3", RandomBytes(256 * 1024));
         return f / "random.mp3";
     },
     XA_ERROR_INPUT_NOT_MPEG},
    {"Text",
     [](const TempFolder& f) {
         WriteFile(f / "notes.mp3", "These are not the frames you are looking for.\n");
         return f / "notes.mp3";
     },
     XA_ERROR_INPUT_NOT_MPEG},
    {"Id3TagWithoutAudio",
     [](const TempFolder& f) {
         WriteFile(f / "tag.mp3", Id3TagOnly());
         return f / "tag.mp3";
     },
     XA_ERROR_INPUT_NOT_MPEG},
    // Reading the start of a process's own memory fails with EIO: a read error, not "no audio".
    {"ReadFails", [](const TempFolder&) { return std::string("/proc/self/mem"); },
     XA_ERROR_INPUT_READ_FAILED},
};

INSTANTIATE_TEST_SUITE_P(Inputs, BadInput, testing::ValuesIn(kBadInputs),
                         [](const testing::TestParamInfo<InputCase>& param) { return param.param.name; });

TEST(BadInput, FailedConversionLeavesAnExistingDestinationAlone) {
    TempFolder folder;
    WriteFile(folder / "empty.mp3", "");
    WriteFile(folder / "out.wav", "earlier contents");
    const ConversionResult result = Convert(folder / "empty.mp3", folder / "out.wav");
    EXPECT_EQ(result.inputOpen, XA_ERROR_INPUT_NOT_MPEG);
    std::ifstream in(folder / "out.wav");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "earlier contents");
}

// A file cut inside a frame decodes every whole frame, from a regular file and from a pipe alike
// (libmpg123 cannot step back over the cut frame on a pipe).
class CutFile : public ::testing::TestWithParam<bool> {};

TEST_P(CutFile, DecodesWhatIsThere) {
    const bool throughPipe = GetParam();
    TempFolder folder;
    std::ifstream in(FixturePath("cbr-stereo.mp3"), std::ios::binary);
    std::string bytes(std::istreambuf_iterator<char>(in), {});
    bytes.resize(20000); // frames are 417 or 418 bytes: this cuts one
    WriteFile(folder / "cut.mp3", bytes);

    fs::path input = folder / "cut.mp3";
    int pipeEnds[2] = {-1, -1};
    if (throughPipe) {
        // The whole cut file waits in the pipe, whose writing end is closed: the decoder reads it
        // to its end through a path of its own, as it reads a named pipe or standard input.
        ASSERT_EQ(::pipe(pipeEnds), 0);
        ASSERT_EQ(::write(pipeEnds[1], bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
        ::close(pipeEnds[1]);
        input = "/proc/self/fd/" + std::to_string(pipeEnds[0]);
    }
    const ConversionResult result = Convert(input, folder / "out.wav");
    if (throughPipe) {
        ::close(pipeEnds[0]);
    }
    EXPECT_EQ(result.inputOpen, XA_SUCCESS);
    EXPECT_EQ(result.lastPlay, XA_END_OF_INPUT);
    const auto wav = ReadWav(folder / "out.wav");
    ASSERT_TRUE(wav.has_value());
    EXPECT_GT(wav->layout.SampleFrames(), 0u);
    if (HaveMpg123()) {
        const auto reference = ReferenceWav(folder / "cut.mp3", folder / "reference.wav");
        ASSERT_TRUE(reference.has_value());
        EXPECT_EQ(wav->layout.SampleFrames(), reference->layout.SampleFrames());
    }
}

INSTANTIATE_TEST_SUITE_P(Inputs, CutFile, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& cutCase) {
                             return cutCase.param ? "Pipe" : "RegularFile";
                         });

// An input module that fails every read after the first `s_readsAllowed`: a disk that goes bad
// in the middle of a file.
class FailingReads {
public:
    static XA_InputModule Module(int readsAllowed) {
        s_readsAllowed = readsAllowed;
        XA_InputModule module{};
        file_input_module_register(&module);
        s_fileRead = module.read;
        module.read = Read;
        return module;
    }

private:
    static long Read(XA_InputModuleState* state, void* buffer, std::size_t bytes) {
        return s_readsAllowed-- > 0 ? s_fileRead(state, buffer, bytes) : long{XA_ERROR_INPUT_READ_FAILED};
    }

    static inline int s_readsAllowed = 0;
    static inline long (*s_fileRead)(XA_InputModuleState*, void*, std::size_t) = nullptr;
};

TEST(BadInput, ReadFailureMidwayIsReportedAndTheFileStaysValid) {
    TempFolder folder;
    XA_DecoderInfo* decoder = nullptr;
    ASSERT_EQ(decoder_new(&decoder), XA_SUCCESS);
    const XA_InputModule failing = FailingReads::Module(40);
    XA_OutputModule wav{};
    file_output_module_register(&wav);
    decoder_input_module_register(decoder, &failing);
    decoder_output_module_register(decoder, &wav);
    const std::string output = "wav:" + folder / "out.wav";
    decoder_output_new(decoder, output.c_str(), XA_DECODER_MODULE_AUTO);
    ASSERT_EQ(decoder_output_open(decoder), XA_SUCCESS);
    // libmpg123 reads a frame header, then the frame: 40 reads end about 20 frames in.
    decoder_input_new(decoder, FixturePath("layer2.mp2").c_str(), XA_DECODER_MODULE_AUTO);
    ASSERT_EQ(decoder_input_open(decoder), XA_SUCCESS);
    int rc = XA_SUCCESS;
    while (PlayGoesOn(rc)) {
        rc = decoder_play(decoder);
    }
    EXPECT_EQ(rc, XA_ERROR_INPUT_READ_FAILED);
    decoder_input_close(decoder);
    EXPECT_EQ(decoder_delete(decoder), XA_SUCCESS);
    const auto written = ReadWav(folder / "out.wav");
    ASSERT_TRUE(written.has_value());
    EXPECT_GT(written->layout.SampleFrames(), 0u);
}

struct OutputCase {
    const char* name;
    std::function<std::string(const TempFolder&)> make; // gives the output name
    int expected;
    bool needsNonRoot = false;
};

void PrintTo(const OutputCase& output, std::ostream* out) {
    *out << output.name;
}

class BadOutput : public testing::TestWithParam<OutputCase> {};

TEST_P(BadOutput, FailsToOpen) {
    if (GetParam().needsNonRoot && RunningAsRoot()) {
        GTEST_SKIP() << "root writes every folder";
    }
    TempFolder folder;
    TestDecoder decoder;
    decoder_output_new(decoder.get(), GetParam().make(folder).c_str(), XA_DECODER_MODULE_AUTO);
    const int rc = decoder_output_open(decoder.get());
    EXPECT_EQ(rc, GetParam().expected) << xaudio_error_string(rc);
    EXPECT_EQ(decoder.get()->output.load(), nullptr);
}

const OutputCase kBadOutputs[] = {
    {"MissingFolder", [](const TempFolder& f) { return "wav:" + f / "none/out.wav"; },
     XA_ERROR_OUTPUT_CREATE_FAILED},
    {"PathIsAFolder", [](const TempFolder& f) { return "wav:" + f.Path().string(); },
     XA_ERROR_OUTPUT_CREATE_FAILED},
    {"FolderIsAFile",
     [](const TempFolder& f) {
         WriteFile(f / "plain", "");
         return "wav:" + f / "plain/out.wav";
     },
     XA_ERROR_OUTPUT_CREATE_FAILED},
    {"ReadOnlyFolder",
     [](const TempFolder& f) {
         fs::create_directory(f / "locked");
         fs::permissions(f / "locked", fs::perms::owner_read | fs::perms::owner_exec);
         return "wav:" + f / "locked/out.wav";
     },
     XA_ERROR_OUTPUT_ACCESS_DENIED, true},
    {"AudioDevice", [](const TempFolder&) { return std::string("audio:"); },
     XA_ERROR_OUTPUT_DEVICE_UNAVAILABLE},
    {"DefaultDevice", [](const TempFolder&) { return std::string(""); }, XA_ERROR_OUTPUT_DEVICE_UNAVAILABLE},
    {"NoPrefix", [](const TempFolder& f) { return f / "out.wav"; }, XA_ERROR_NO_SUCH_MODULE},
};

INSTANTIATE_TEST_SUITE_P(Outputs, BadOutput, testing::ValuesIn(kBadOutputs),
                         [](const testing::TestParamInfo<OutputCase>& param) { return param.param.name; });

TEST(BadOutput, FullDiskIsReported) {
    const ConversionResult result = Convert(FixturePath("cbr-stereo.mp3"), "/dev/full");
    EXPECT_EQ(result.inputOpen, XA_SUCCESS);
    EXPECT_EQ(result.lastPlay, XA_ERROR_OUTPUT_DISK_FULL);
}

// A file size limit makes the writes fail partway, as a quota would.
TEST(BadOutput, WriteFailureLeavesAValidShorterFile) {
    TempFolder folder;
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 100001; // not a whole number of sample frames after the header
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    const ConversionResult result = Convert(FixturePath("cbr-stereo.mp3"), folder / "out.wav");
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(result.lastPlay, XA_ERROR_OUTPUT_WRITE_FAILED);
    const auto wav = ReadWav(folder / "out.wav");
    ASSERT_TRUE(wav.has_value()) << "the header does not describe the file";
    EXPECT_GT(wav->layout.SampleFrames(), 0u);
    EXPECT_EQ(wav->layout.dataBytes % 4, 0u);
}

} // namespace
