#include "DesktopEntry.h"

#include "FileIo.h"

#include <cerrno>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::string_view kReservedInExec = " \t\n\"'\\><~|&;$*?#()`";
constexpr std::string_view kEscapedInQuotes = "\"`$\\";

// The escapes of the format's string values; a leading blank would otherwise be trimmed away.
std::string EscapeValue(std::string_view value) {
    std::string escaped;
    escaped.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        switch (value[i]) {
        case '\\':
            escaped += "\\\\";
            break;
        case '\n':
            escaped += "\\n";
            break;
        case '\t':
            escaped += "\\t";
            break;
        case '\r':
            escaped += "\\r";
            break;
        case ' ':
            escaped += i == 0 ? "\\s" : " ";
            break;
        default:
            escaped += value[i];
        }
    }
    return escaped;
}

void AppendLine(std::string& text, std::string_view key, std::string_view value) {
    text.append(key).append(1, '=').append(EscapeValue(value)).append(1, '\n');
}

} // namespace

std::string QuoteExecArgument(std::string_view argument) {
    std::string body;
    for (const char ch : argument) {
        if (ch == '%') {
            body += "%%";
            continue;
        }
        if (kEscapedInQuotes.find(ch) != std::string_view::npos) {
            body += '\\';
        }
        body += ch;
    }
    const bool needsQuotes =
        argument.empty() || argument.find_first_of(kReservedInExec) != std::string_view::npos;
    return needsQuotes ? '"' + body + '"' : body;
}

std::string FormatDesktopEntry(const DesktopEntry& entry) {
    std::string text = "[Desktop Entry]\n";
    AppendLine(text, "Type", "Application");
    AppendLine(text, "Name", entry.name);
    if (!entry.comment.empty()) {
        AppendLine(text, "Comment", entry.comment);
    }
    AppendLine(text, "Exec", entry.exec);
    if (!entry.icon.empty()) {
        AppendLine(text, "Icon", entry.icon);
    }
    if (!entry.mimeTypes.empty()) {
        AppendLine(text, "MimeType", entry.mimeTypes);
    }
    if (entry.noDisplay) {
        AppendLine(text, "NoDisplay", "true");
    }
    if (entry.autostartEnabled) {
        AppendLine(text, "X-GNOME-Autostart-enabled", "true");
    }
    return text;
}

bool WriteDesktopEntry(const std::string& path, const DesktopEntry& entry) {
    const std::filesystem::path target(path);
    std::error_code error;
    std::filesystem::create_directories(target.parent_path(), error);
    std::string temporary = (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        return false;
    }
    const std::string text = FormatDesktopEntry(entry);
    const bool written =
        WriteFully(fd, text.data(), text.size()) && ::fchmod(fd, 0644) == 0 && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

bool RemoveDesktopEntry(const std::string& path) {
    return ::unlink(path.c_str()) == 0 || errno == ENOENT;
}
