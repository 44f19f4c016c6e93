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

// Installs the service used by AfxMessageBox. Returns once no call of the previous service's Show
// is still in progress, so the caller may destroy that service right after; a service that keeps
// its callers waiting must therefore stop doing so before it is replaced. With none installed,
// messages go to standard error.
void SetMessageBoxService(MessageBoxService* service);

int AfxMessageBox(const std::string& text, UINT type = MB_OK, const std::string& subject = {});
