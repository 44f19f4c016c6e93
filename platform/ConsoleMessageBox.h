// Message boxes for programs without a window: each message is one line on standard error.
#pragma once

#include "MessageBox.h"

#include <string>

class ConsoleMessageBoxService : public MessageBoxService {
public:
    // `program` starts every line; by default the name the program was started by.
    explicit ConsoleMessageBoxService(std::string program = {});

    // Writes "<program>: <subject>: <text>" (without the subject part when it is empty) and
    // returns IDOK at once: there is nobody to wait for.
    int Show(const std::string& text, UINT type, const std::string& subject) override;

    // The line that Show writes, without its line feed.
    std::string FormatLine(const std::string& text, const std::string& subject) const;

private:
    std::string m_program;
};
