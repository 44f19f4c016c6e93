#include "RuntimeFolder.h"

#include "ScopedXdgEnvironment.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

mode_t ModeOf(const std::string& path) {
    struct stat info {};
    lstat(path.c_str(), &info);
    return info.st_mode & 07777;
}

TEST(RuntimeFolder, IsMadePrivateInsideTheDesktopsRuntimeFolder) {
    ScopedXdgEnvironment environment;
    std::string folder = RuntimeFolder();
    EXPECT_EQ(folder, (environment.RuntimeDir() / "larkspur").string());
    EXPECT_EQ(ModeOf(folder), 0700u);
    EXPECT_EQ(RuntimePath("x"), folder + "/x");
}

class RuntimeFolderMode : public testing::TestWithParam<std::pair<mode_t, bool>> {};

TEST_P(RuntimeFolderMode, AnExistingFolderIsUsedOnlyWhenNobodyElseHasAccess) {
    ScopedXdgEnvironment environment;
    std::string folder = (environment.RuntimeDir() / "larkspur").string();
    ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
    ASSERT_EQ(chmod(folder.c_str(), GetParam().first), 0);
    EXPECT_EQ(RuntimeFolder().empty(), !GetParam().second);
    EXPECT_EQ(RuntimePath("x").empty(), !GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Modes, RuntimeFolderMode,
                         testing::Values(std::pair<mode_t, bool>{0700, true},
                                         std::pair<mode_t, bool>{0750, false},
                                         std::pair<mode_t, bool>{0701, false},
                                         std::pair<mode_t, bool>{0777, false}));

TEST(RuntimeFolder, ASymbolicLinkOrAFileInItsPlaceIsRefused) {
    ScopedXdgEnvironment environment;
    std::string folder = (environment.RuntimeDir() / "larkspur").string();
    std::filesystem::create_directory(environment.Root() / "elsewhere");
    std::filesystem::permissions(environment.Root() / "elsewhere", std::filesystem::perms::owner_all);
    std::filesystem::create_directory_symlink(environment.Root() / "elsewhere", folder);
    EXPECT_EQ(RuntimeFolder(), "");
    std::filesystem::remove(folder);
    { std::ofstream(folder) << "not a folder"; }
    EXPECT_EQ(RuntimeFolder(), "");
}

TEST(RuntimeFolder, AFolderOfAnotherUserIsRefused) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to give the folder to another user";
    ScopedXdgEnvironment environment;
    std::string folder = (environment.RuntimeDir() / "larkspur").string();
    ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
    ASSERT_EQ(chown(folder.c_str(), 65534, 65534), 0);
    EXPECT_EQ(RuntimeFolder(), "");
}

} // namespace
