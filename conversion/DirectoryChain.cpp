#include "DirectoryChain.h"

#include "Tokenizer.h"

#include <cerrno>
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
    try {
        CTokenizer tokenizer("/");
        const int count = tokenizer.Split(path, nullptr);
        // The splitter's count stops one piece short when an empty piece comes before the last
        // one (the root before a leading '/', a doubled '/'); the slot at the count then holds
        // the last folder, and the walk takes one step further to reach it.
        const bool lastPieceBeyondCount = count < CTokenizer::kMaxTokens && *tokenizer.GetItem(count) != '\0';
        const int steps = lastPieceBeyondCount ? count + 1 : count;
        std::string folder;
        for (int i = 0; i < steps; ++i) {
            if (i > 0) {
                folder += '/';
            }
            const char* piece = tokenizer.GetItem(i);
            folder += piece;
            // An empty piece names no folder of its own: "" before a leading '/' is no path at all.
            if (*piece == '\0') {
                continue;
            }
            const int error = makeDirectory(folder);
            if (error != 0) {
                result = error == EEXIST ? TRUE : FALSE;
            }
        }
    } catch (...) {
        // The walk ends; what it found so far stands.
    }
    return result;
}
