#include "DirectoryChain.h"

#include "TempFolder.h"

#include <array>
#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

struct ChainCase {
    const char* path;
    std::vector<std::string> calls;
};

TEST(DirectoryChain, CreatesEachFolderFromTheTopDown) {
    const std::array cases{
        ChainCase{"/srv/wav/out", {"/srv", "/srv/wav", "/srv/wav/out"}},
        ChainCase{"/srv/wav/", {"/srv", "/srv/wav"}},
        ChainCase{"wav/out", {"wav", "wav/out"}},
        ChainCase{"//srv//wav", {"//srv", "//srv//wav"}},
        ChainCase{"/", {}},
        ChainCase{"", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        std::vector<std::string> calls;
        EXPECT_EQ(CreateDirectoryChain(c.path,
                                       [&](const std::string& folder) {
                                           calls.push_back(folder);
                                           return 0;
                                       }),
                  TRUE);
        EXPECT_EQ(calls, c.calls);
    }
}

TEST(DirectoryChain, ResultFollowsTheLastFailure) {
    struct ResultCase {
        std::map<std::string, int> errors;
        BOOL expected;
    };
    const std::array cases{
        ResultCase{{{"/a", EEXIST}, {"/a/b", EEXIST}}, TRUE},
        ResultCase{{{"/a", EEXIST}, {"/a/b", EACCES}}, FALSE},
        // A folder that cannot be made is forgiven when a later one already exists.
        ResultCase{{{"/a", EACCES}, {"/a/b", EEXIST}}, TRUE},
        // A later success does not forgive an earlier failure.
        ResultCase{{{"/a", ENOENT}}, FALSE},
    };
    for (const auto& c : cases) {
        const auto maker = [&](const std::string& folder) {
            const auto found = c.errors.find(folder);
            return found == c.errors.end() ? 0 : found->second;
        };
        EXPECT_EQ(CreateDirectoryChain("/a/b", maker), c.expected);
    }
}

TEST(DirectoryChain, MakesRealFoldersWithTheUmaskApplied) {
    const TempFolder temp;
    const std::string target = temp / "one/two/three";
    const mode_t previous = umask(027);
    EXPECT_EQ(CreateDirectoryChain(target.c_str()), TRUE);
    umask(previous);
    EXPECT_TRUE(std::filesystem::is_directory(target));
    struct stat info {};
    ASSERT_EQ(stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0750u);

    EXPECT_EQ(CreateDirectoryChain(target.c_str()), TRUE) << "an existing folder is success";

    const std::string blocked = temp / "file";
    std::FILE* file = std::fopen(blocked.c_str(), "w");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    EXPECT_EQ(CreateDirectoryChain((blocked + "/below").c_str()), FALSE);
}

} // namespace
