// The fallback way to open a web address: the browser command registered for web pages, run
// with the address as its last argument. No shell is involved, so the address is never read as
// shell syntax.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The program and arguments to run for `url` from a registered command line such as
// `"/usr/bin/browser" --new-window "%1"`: the command is cut where its placeholder ("%1" in
// double quotes, else a bare %1) starts, split into words, and the address becomes one more word,
// whatever characters it holds. Empty when the command has no words.
std::vector<std::string> BrowserArguments(std::string_view registeredCommand, std::string_view url);

// Splits a command line into words at blanks and tabs; double quotes group a word and are
// removed. An unterminated quote runs to the end of the text.
std::vector<std::string> SplitCommandWords(std::string_view commandLine);
