#include "DestinationFolder.h"

#include "AppSettings.h"

DestinationFolder ChooseDestinationFolder(const std::optional<std::string>& outputFolder) {
    if (outputFolder) {
        return {1, *outputFolder};
    }
    // The user's choice in the tray program holds on the command line too.
    AppSettings settings;
    settings.LoadSettings();
    return {settings.iWavLoc, settings.sWavLoc};
}
