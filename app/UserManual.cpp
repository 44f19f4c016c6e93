#include "UserManual.h"

#include "ModuleFileName.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>
#include <filesystem>

std::string InstalledManual(const std::string& programPath) {
    // LARKSPUR_MANUAL_FROM_BINDIR: the manual's path relative to the folder of the installed program.
    std::filesystem::path manual =
        std::filesystem::path(programPath).parent_path() / LARKSPUR_MANUAL_FROM_BINDIR;
    std::error_code error;
    return std::filesystem::is_regular_file(manual, error) ? manual.lexically_normal().string()
                                                           : std::string();
}

void OpenUserManual() {
    std::string manual = InstalledManual(ProgramPath());
    if (!manual.empty())
        QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(manual)));
}
