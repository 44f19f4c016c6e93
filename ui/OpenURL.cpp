#include "OpenURL.h"

#include "BrowserCommand.h"
#include "DetachedProcess.h"
#include "RegistryKey.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>
#include <array>

namespace {

constexpr std::size_t kKeyDefaultSize = 260;

// The browser command of the ".htm" file class, or an empty text when none is registered.
std::string RegisteredBrowserCommand() {
    std::array<char, kKeyDefaultSize> fileClass{};
    if (ReadKeyDefault(HKEY_CLASSES_ROOT, ".htm", fileClass.data()) != ERROR_SUCCESS) {
        return {};
    }
    const std::string commandKey = std::string(fileClass.data()) + "\\shell\\open\\command";
    std::array<char, kKeyDefaultSize> command{};
    if (ReadKeyDefault(HKEY_CLASSES_ROOT, commandKey.c_str(), command.data()) != ERROR_SUCCESS) {
        return {};
    }
    return command.data();
}

} // namespace

UrlLaunchers DesktopLaunchers() {
    return {
        [](const std::string& url) { return QDesktopServices::openUrl(QUrl(QString::fromStdString(url))); },
        StartDetachedProcess,
    };
}

bool OpenURL(const std::string& url, const UrlLaunchers& launchers) {
    if (launchers.openWithDesktop(url)) {
        return true;
    }
    const std::vector<std::string> arguments = BrowserArguments(RegisteredBrowserCommand(), url);
    return !arguments.empty() && launchers.runProgram(arguments);
}
