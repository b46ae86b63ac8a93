#include "dialogs/web_pages.h"

#include "common/posix_platform.h"
#include "tests/support/fake_platform.h"
#include "tests/support/scripted_dialogs.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace nimbra;
using namespace nimbra::testing;

namespace {

std::time_t LocalNoon(int year, int month, int day)
{
    std::tm local {};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = 12;
    local.tm_isdst = -1;
    return std::mktime(&local);
}

}  // namespace

TEST(VersionStamp, LocalDateWithTwoDigitMonthAndDay)
{
    EXPECT_EQ(VersionStamp(LocalNoon(2005, 3, 5)), "20050305");
    EXPECT_EQ(VersionStamp(LocalNoon(2024, 12, 31)), "20241231");
    EXPECT_EQ(VersionStamp(LocalNoon(12345, 1, 2)), "12345010");  // cut to 8 characters
}

TEST(OpenInBrowser, ManualAndUpdatePagesFollowTheBrowserCommand)
{
    FakePlatform platform;
    ScriptedDialogs dialogs;
    platform.ExecutableModifiedValue = LocalNoon(2005, 3, 5);
    OpenOnlineManual(platform, dialogs);
    CheckForUpdates(platform, dialogs);
    EXPECT_EQ(platform.StartedCommandLines,
              (std::vector<std::string>{"xdg-open http://www.nimbra-fraktale.de/loader.php4?use=man",
                                        "xdg-open http://www.nimbra-fraktale.de/loader.php4?use=upd&version=20050305"}));
    EXPECT_TRUE(dialogs.Messages.empty());
}

TEST(OpenInBrowser, AddressIsJoinedWithoutABlank)
{
    FakePlatform platform;
    ScriptedDialogs dialogs;
    platform.BrowserCommandValue = "browser";
    OpenInBrowser("http://h/p", platform, dialogs);
    platform.BrowserCommandValue = "";
    OpenInBrowser("http://h/p", platform, dialogs);
    EXPECT_EQ(platform.StartedCommandLines, (std::vector<std::string>{"browserhttp://h/p", "http://h/p"}));
}

TEST(OpenInBrowser, CommandLineBeyond254CharactersIsNotStarted)
{
    FakePlatform platform;
    ScriptedDialogs dialogs;
    const std::string address = "http://h/p";
    platform.BrowserCommandValue = std::string(254 - address.size(), 'b');
    OpenInBrowser(address, platform, dialogs);
    ASSERT_EQ(platform.StartedCommandLines.size(), 1u);
    EXPECT_EQ(platform.StartedCommandLines[0].size(), 254u);

    platform.BrowserCommandValue += "b";
    OpenInBrowser(address, platform, dialogs);
    EXPECT_EQ(platform.StartedCommandLines.size(), 1u);
    EXPECT_EQ(dialogs.Messages,
              std::vector<std::string>{"Der Browseraufruf ist länger als 254 Zeichen und wird nicht gestartet !"});
}

TEST(OpenInBrowser, ABrowserThatCannotStartIsReported)
{
    FakePlatform platform;
    ScriptedDialogs dialogs;
    platform.StartErrorValue = IoError(ENOENT);
    OpenOnlineManual(platform, dialogs);
    EXPECT_EQ(dialogs.Warnings,
              std::vector<std::string>{"Der Browser xdg-open kann nicht gestartet werden !\ndas Programm ist nicht vorhanden"});
}

TEST(OpenInBrowser, ABrowserCommandThatStartsButFailsIsReportedOnceWhenTheWindowAsks)
{
    // Started for real, as xdg-open ends when it finds no browser.
    PosixPlatform platform;
    ASSERT_FALSE(platform.StartCommandLine("sh -c \"exit 3\""));
    ASSERT_FALSE(platform.StartCommandLine("true"));
    std::vector<FailedCommand> failed;
    for (int wait = 0; wait < 500 && failed.empty(); ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        failed = platform.TakeFailedCommands();
    }
    ASSERT_EQ(failed.size(), 1u);
    EXPECT_EQ(failed[0].CommandLine, "sh -c \"exit 3\"");
    EXPECT_EQ(failed[0].ExitStatus, 3);

    FakePlatform fake;
    ScriptedDialogs dialogs;
    fake.FailedCommandsValue = {{"xdg-open http://h/p", 3}, {"xdg-open http://h/q", 9}};
    ReportFailedBrowsers(fake, dialogs);
    ReportFailedBrowsers(fake, dialogs);
    EXPECT_EQ(dialogs.Warnings,
              (std::vector<std::string>{
                  "Der Browser xdg-open hat die Seite nicht geöffnet !\n"
                  "kein Programm gefunden, das die Seite öffnen kann",
                  "Der Browser xdg-open hat die Seite nicht geöffnet !\ndas Programm endete mit dem Status 9"}));
}
