#include "OpenURL.h"

#include "DetachedProcess.h"
#include "RegistryKey.h"
#include "ScopedXdgEnvironment.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

namespace {

const std::string kUrl = "https://example.org/?q=a b;c";

void SetKeyDefault(const char* path, const char* value) {
    CRegistryKey key;
    ASSERT_TRUE(key.Create(HKEY_CLASSES_ROOT, path));
    ASSERT_TRUE(key.WriteString("", value));
}

class OpenURLTest : public testing::Test {
protected:
    // Records what would be run instead of starting a browser.
    UrlLaunchers Launchers(bool desktopOpens) {
        return {[this, desktopOpens](const std::string& url) {
                    desktopUrls.push_back(url);
                    return desktopOpens;
                },
                [this](const std::vector<std::string>& arguments) {
                    programRuns.push_back(arguments);
                    return true;
                }};
    }

    ScopedXdgEnvironment environment;
    std::vector<std::string> desktopUrls;
    std::vector<std::vector<std::string>> programRuns;
};

TEST_F(OpenURLTest, TheDesktopOpenerComesFirst) {
    SetKeyDefault(".htm", "htmlfile");
    SetKeyDefault("htmlfile\\shell\\open\\command", "browser \"%1\"");
    EXPECT_TRUE(OpenURL(kUrl, Launchers(true)));
    EXPECT_EQ(desktopUrls, std::vector<std::string>{kUrl});
    EXPECT_TRUE(programRuns.empty());
}

TEST_F(OpenURLTest, WhenTheDesktopRefusesTheRegisteredBrowserRunsWithTheAddress) {
    SetKeyDefault(".htm", "htmlfile");
    SetKeyDefault("htmlfile\\shell\\open\\command", "\"/usr/bin/web browser\" --new \"%1\"");
    EXPECT_TRUE(OpenURL(kUrl, Launchers(false)));
    ASSERT_EQ(programRuns.size(), 1U);
    EXPECT_EQ(programRuns[0], (std::vector<std::string>{"/usr/bin/web browser", "--new", kUrl}));
}

TEST_F(OpenURLTest, WithoutARegisteredBrowserOpeningFails) {
    EXPECT_FALSE(OpenURL(kUrl, Launchers(false))) << "no .htm class";
    SetKeyDefault(".htm", "htmlfile");
    EXPECT_FALSE(OpenURL(kUrl, Launchers(false))) << "a class without an open command";
    SetKeyDefault("htmlfile\\shell\\open\\command", "");
    EXPECT_FALSE(OpenURL(kUrl, Launchers(false))) << "an empty command";
    EXPECT_TRUE(programRuns.empty());
}

TEST(StartDetachedProcessTest, RunsTheProgramWithItsArgumentsAsGiven) {
    const ScopedXdgEnvironment environment;
    // A name with shell syntax in it must reach the program as it is.
    const std::filesystem::path marker = environment.Root() / "made by touch; $(id) 'x'";
    ASSERT_TRUE(StartDetachedProcess({"touch", marker.string()}));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!std::filesystem::exists(marker) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(std::filesystem::exists(marker));
}

TEST(StartDetachedProcessTest, AMissingProgramOrNoneIsAFailure) {
    EXPECT_FALSE(StartDetachedProcess({"/nonexistent/larkspur-browser", "x"}));
    EXPECT_FALSE(StartDetachedProcess({}));
}

} // namespace
