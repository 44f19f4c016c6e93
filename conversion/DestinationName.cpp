#include "DestinationName.h"

#include "MultiByteText.h"
#include "TextOperations.h"

#include <algorithm>
#include <string_view>

namespace {

constexpr std::string_view kWavExtension = ".wav";

// Offset of the file name within `path`: just past its last '/', or 0.
std::size_t FileNameStart(std::string_view path) {
    const std::size_t slash = mbtext::FindLast(path, '/');
    return slash == std::string_view::npos ? 0 : slash + 1;
}

// Offset of the '.' that starts the file name's extension, or npos when the name has none.
// A '.' in a folder name is no extension.
std::size_t ExtensionStart(std::string_view path) {
    const std::size_t nameStart = FileNameStart(path);
    const std::size_t dot = mbtext::FindLast(path.substr(nameStart), '.');
    return dot == std::string_view::npos ? std::string_view::npos : nameStart + dot;
}

} // namespace

std::string DestinationForSource(const std::string& source, int iWavLoc, const std::string& sWavLoc) {
    std::string destination = source.substr(0, ExtensionStart(source));
    destination += kWavExtension;
    if (iWavLoc != 0 && !sWavLoc.empty()) {
        std::string inFolder = sWavLoc;
        AppendCharIfMissing(inFolder, '/');
        destination = inFolder + destination.substr(FileNameStart(destination));
    }
    // An MPEG file named *.wav would otherwise be overwritten by its own conversion.
    return UniqueDestination(destination, [&](const std::string& name) { return name == source; });
}

std::string UniqueDestination(const std::string& destination,
                              const std::function<bool(const std::string&)>& isTaken) {
    if (!isTaken(destination)) {
        return destination;
    }
    const std::size_t extension = std::min(ExtensionStart(destination), destination.size());
    const std::string stem = destination.substr(0, extension);
    const std::string suffix = destination.substr(extension);
    for (unsigned long number = 2;; ++number) {
        std::string candidate = stem + " (" + std::to_string(number) + ")" + suffix;
        if (!isTaken(candidate)) {
            return candidate;
        }
    }
}
