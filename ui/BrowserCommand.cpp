#include "BrowserCommand.h"

#include "MultiByteText.h"

namespace {

// Offset of the first occurrence of `needle` that starts at a character boundary, or npos, so
// that the second byte of a double-byte character never starts a match.
std::size_t FindAtCharacterStart(std::string_view text, std::string_view needle) {
    for (std::size_t offset = 0; offset < text.size();
         offset += mbtext::CharLength(text.data() + offset, text.size() - offset)) {
        if (text.substr(offset, needle.size()) == needle) {
            return offset;
        }
    }
    return std::string_view::npos;
}

std::string_view CutAtPlaceholder(std::string_view command) {
    std::size_t placeholder = FindAtCharacterStart(command, "\"%1\"");
    if (placeholder == std::string_view::npos) {
        placeholder = FindAtCharacterStart(command, "%1");
    }
    return command.substr(0, placeholder);
}

} // namespace

std::vector<std::string> SplitCommandWords(std::string_view commandLine) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    bool quoted = false;
    for (std::size_t offset = 0; offset < commandLine.size();) {
        const std::size_t length =
            mbtext::CharLength(commandLine.data() + offset, commandLine.size() - offset);
        const std::string_view character = commandLine.substr(offset, length);
        offset += length;
        if (character == "\"") {
            quoted = !quoted;
            inWord = true;
        } else if (!quoted && (character == " " || character == "\t")) {
            if (inWord) {
                words.push_back(std::move(word));
                word.clear();
                inWord = false;
            }
        } else {
            word += character;
            inWord = true;
        }
    }
    if (inWord) {
        words.push_back(std::move(word));
    }
    return words;
}

std::vector<std::string> BrowserArguments(std::string_view registeredCommand, std::string_view url) {
    std::vector<std::string> arguments = SplitCommandWords(CutAtPlaceholder(registeredCommand));
    if (!arguments.empty()) {
        arguments.emplace_back(url);
    }
    return arguments;
}
