// The main window's ID_HANDOFF command: every file waiting in the hand-off mailbox becomes a job.
#include "CConverterDlg.h"
#include "HandOffReader.h"

void CConverterDlg::OnHandOff() {
    TakeHandOffItems([this](const std::string& path) { AddSourceFile(path); });
}
