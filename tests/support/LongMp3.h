// Makes an MP3 file longer than the committed fixtures, for tests that must catch a conversion
// midway: a sine tone through sox and lame.
#pragma once

#include <cstdlib>
#include <string>

// False when sox or lame is missing or fails.
inline bool MakeLongMp3(const std::string& path, int seconds) {
    const std::string command = "sox -q -n -r 44100 -c 2 -t wav - synth " + std::to_string(seconds) +
                                " sine 440 2>/dev/null | lame --quiet -b 128 - '" + path + "' 2>/dev/null";
    return std::system(command.c_str()) == 0;
}
