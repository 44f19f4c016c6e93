#include "StringTable.h"

#include "resource.h"

#include <algorithm>
#include <array>

namespace {

struct StringEntry {
    unsigned int id;
    const char* text;
};

// Sorted by id, so a lookup is a binary search.
constexpr std::array kStrings{
    StringEntry{IDS_APP_TITLE, "Larkspur!"},
    StringEntry{IDS_SHELL_VERB, "Make WAV File..."},
    StringEntry{IDS_COLUMN_SOURCE, "MP3 Source File"},
    StringEntry{IDS_COLUMN_STATUS, "Status"},
    StringEntry{IDS_COMPLETE, "complete"},
    StringEntry{IDS_PENDING, "pending"},
    StringEntry{IDS_ERR_DECODER_INIT, "XAUDIO: cannot init decoder (%s)"},
    StringEntry{IDS_ERR_OUTPUT_OPEN, "XAUDIO: cannot instanciate output (%s)"},
    StringEntry{IDS_ERR_INPUT_OPEN, "XAUDIO: cannot open input (%s)"},
    StringEntry{IDS_PRIORITY_LOWEST, "Lowest"},
    StringEntry{IDS_PRIORITY_LOW, "Low"},
    StringEntry{IDS_PRIORITY_NORMAL, "Normal"},
    StringEntry{IDS_PRIORITY_HIGH, "High"},
    StringEntry{IDS_PRIORITY_HIGHEST, "Highest"},
    StringEntry{IDS_ERR_CONVERSION, "XAUDIO: conversion failed (%s)"},
};

static_assert(std::is_sorted(kStrings.begin(), kStrings.end(),
                             [](const StringEntry& a, const StringEntry& b) { return a.id < b.id; }));

} // namespace

const char* LoadStringResource(unsigned int id) {
    const auto it =
        std::lower_bound(kStrings.begin(), kStrings.end(), id,
                         [](const StringEntry& entry, unsigned int key) { return entry.id < key; });
    return (it != kStrings.end() && it->id == id) ? it->text : "";
}
