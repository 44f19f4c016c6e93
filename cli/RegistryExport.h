// Keys in the registry editor's text format: a [key] section for the key and for every key
// below it, each with its values as "name"="text", dword:0000002a or hex:00,ff lines.
#pragma once

#include "RegistryKeyName.h"
#include "RegistryListing.h"

#include <ostream>
#include <string>

inline constexpr char kExportHeader[] = "Windows Registry Editor Version 5.00";

// One value's line, such as "iWavLoc"="0" or @="Make WAV File...".
std::string ExportValueLine(const NamedValue& value);

// Writes the sections of `key` and its sub-keys, depth first in name order.
LONG ExportKey(const RegistryKeyName& key, std::ostream& out);
