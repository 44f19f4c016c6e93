// The rule that names a job's WAV file.
#pragma once

#include <functional>
#include <string>

// The WAV path for `source`: the source with its extension (a '.' in the file name, not in a
// folder name) replaced by ".wav", beside the source; or, when `iWavLoc` is nonzero and
// `sWavLoc` is not empty, the same file name inside the folder `sWavLoc`. Never the source
// itself: "name (2).wav" then.
std::string DestinationForSource(const std::string& source, int iWavLoc, const std::string& sWavLoc);

// `destination` itself when `isTaken` says no job writes it, otherwise the first free one of
// "name (2).wav", "name (3).wav", ...
std::string UniqueDestination(const std::string& destination,
                              const std::function<bool(const std::string&)>& isTaken);
