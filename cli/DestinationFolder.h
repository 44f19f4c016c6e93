// Where the headless converter puts its WAV files.
#pragma once

#include <optional>
#include <string>

// The folder rule's two settings, as the naming function takes them.
struct DestinationFolder {
    int iWavLoc = 0;     // nonzero: every WAV file into sWavLoc
    std::string sWavLoc; // that folder
};

// The one place that decides the destination: the folder named with -o, or else the stored
// settings (beside each source file unless they name a folder).
DestinationFolder ChooseDestinationFolder(const std::optional<std::string>& outputFolder);
