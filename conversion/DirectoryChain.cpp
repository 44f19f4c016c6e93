#include "DirectoryChain.h"

#include "MultiByteText.h"

#include <cerrno>
#include <string_view>
#include <sys/stat.h>

namespace {

int MakeDirectory(const std::string& folder) {
    // 0777 filtered by the user's umask, as for any folder a program creates.
    return mkdir(folder.c_str(), 0777) == 0 ? 0 : errno;
}

} // namespace

BOOL CreateDirectoryChain(const char* path) {
    return CreateDirectoryChain(path, MakeDirectory);
}

BOOL CreateDirectoryChain(const char* path, const DirectoryMaker& makeDirectory) {
    BOOL result = TRUE;
    if (path == nullptr) {
        return result;
    }
    try {
        // Each piece between separators names one folder, created as the path up to the end of
        // that piece: /srv/wav gives /srv, then /srv/wav. An empty piece (the root before a
        // leading '/', a doubled or a trailing '/') names no folder of its own.
        const std::string_view text(path);
        std::size_t pieceStart = 0;
        while (pieceStart <= text.size()) {
            std::size_t pieceEnd = mbtext::FindFirst(text.substr(pieceStart), '/');
            pieceEnd = pieceEnd == std::string_view::npos ? text.size() : pieceStart + pieceEnd;
            if (pieceEnd > pieceStart) {
                const int error = makeDirectory(std::string(text.substr(0, pieceEnd)));
                if (error != 0) {
                    result = error == EEXIST ? TRUE : FALSE;
                }
            }
            pieceStart = pieceEnd + 1;
        }
    } catch (...) {
        // The walk ends; what it found so far stands.
    }
    return result;
}
