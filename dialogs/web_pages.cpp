#include "dialogs/web_pages.h"

#include "common/number_text.h"
#include "common/posix_platform.h"
#include "dialogs/start_failure.h"

namespace nimbra {

std::string VersionStamp(std::time_t modified)
{
    std::tm local {};
    localtime_r(&modified, &local);
    const std::string stamp = std::to_string(local.tm_year + 1900) + ZeroPad(local.tm_mon + 1, 2) + ZeroPad(local.tm_mday, 2);
    return stamp.substr(0, 8);
}

namespace {

// The program a message names: the command line's first part.
std::string ProgramOf(const std::string& commandLine)
{
    const std::vector<std::string> parts = SplitCommandLine(commandLine);
    return parts.empty() ? commandLine : parts.front();
}

}  // namespace

void OpenInBrowser(const std::string& address, Platform& platform, UserDialogs& dialogs)
{
    // Nothing is put between the command and the address: the command brings its own blank.
    const std::string commandLine = platform.BrowserCommand() + address;
    if (commandLine.size() > MaxBrowserCommandBytes) {
        dialogs.ShowWarning("Der Browseraufruf ist länger als 254 Zeichen und wird nicht gestartet !");
        return;
    }
    if (const IoError error = platform.StartCommandLine(commandLine))
        dialogs.ShowWarning(StartFailureMessage("Der Browser", ProgramOf(commandLine), error));
}

void ReportFailedBrowsers(Platform& platform, UserDialogs& dialogs)
{
    for (const FailedCommand& failed : platform.TakeFailedCommands())
        dialogs.ShowWarning(BrowserFailureMessage(ProgramOf(failed.CommandLine), failed.ExitStatus));
}

void OpenOnlineManual(Platform& platform, UserDialogs& dialogs)
{
    OpenInBrowser(std::string(WebHost) + "/loader.php4?use=man", platform, dialogs);
}

void CheckForUpdates(Platform& platform, UserDialogs& dialogs)
{
    OpenInBrowser(std::string(WebHost) + "/loader.php4?use=upd&version=" + VersionStamp(platform.ExecutableModified()),
                  platform, dialogs);
}

}  // namespace nimbra
