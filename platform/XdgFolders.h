// The per-user base folders of the XDG Base Directory rules.
#pragma once

#include <filesystem>

// $XDG_CONFIG_HOME, or ~/.config when it is unset, empty or not an absolute path.
std::filesystem::path XdgConfigHome();
// $XDG_DATA_HOME, or ~/.local/share likewise.
std::filesystem::path XdgDataHome();
