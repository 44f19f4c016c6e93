// Message boxes asked for from any thread, shown by whichever service the program installs:
// the console one in the command-line tools, the GUI one in the tray program, a recording one in tests.
#pragma once

#include "Win32Types.h"

#include <string>

class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    // Shows `text` and returns once the user has dismissed it. `subject` names what the
    // message is about (a job's source file) and may be empty.
    virtual int Show(const std::string& text, UINT type, const std::string& subject) = 0;
};

// Installs the service used by AfxMessageBox; the caller keeps it alive while it is installed.
// With none installed, messages go to standard error.
void SetMessageBoxService(MessageBoxService* service);

int AfxMessageBox(const std::string& text, UINT type = MB_OK, const std::string& subject = {});
