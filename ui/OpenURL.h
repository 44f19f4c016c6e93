// Opening a web address in the user's browser.
#pragma once

#include <functional>
#include <string>
#include <vector>

// The two ways of starting a browser, replaceable so that tests start none.
struct UrlLaunchers {
    // The desktop's own opener for the address; true when it took it.
    std::function<bool(const std::string& url)> openWithDesktop;
    // Runs a program with its arguments, without a shell; true when it started.
    std::function<bool(const std::vector<std::string>& arguments)> runProgram;
};

// The desktop's opener (xdg-open through Qt) and a directly started process.
UrlLaunchers DesktopLaunchers();

// Asks the desktop to open `url`; when it refuses, runs the browser command registered for the
// ".htm" file class with the address as its last argument. True when either started.
bool OpenURL(const std::string& url, const UrlLaunchers& launchers = DesktopLaunchers());
