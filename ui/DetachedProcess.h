// Starting a program that runs on by itself, as a browser does.
#pragma once

#include <string>
#include <vector>

// Starts arguments[0] (looked up in PATH when it has no '/') with the given arguments, directly,
// without a shell, in a session of its own, and returns without waiting for it. False when
// there is nothing to run or the program cannot be started. The ended process is reaped.
bool StartDetachedProcess(const std::vector<std::string>& arguments);
