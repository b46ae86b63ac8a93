#pragma once
#include "common/platform.h"
#include "common/user_dialogs.h"

#include <cstddef>
#include <ctime>
#include <string>

namespace nimbra {

inline constexpr char WebHost[] = "http://www.nimbra-fraktale.de";  // the product's web server
inline constexpr std::size_t MaxBrowserCommandBytes = 254;

// The local date of modified as year, two-digit month and two-digit day, at most 8 characters.
std::string VersionStamp(std::time_t modified);

// Starts the browser command with address appended directly. A command line longer than
// MaxBrowserCommandBytes is not started (cut, it would open a wrong address) and a message
// says so; so does one when the browser cannot be started.
void OpenInBrowser(const std::string& address, Platform& platform, UserDialogs& dialogs);
// A browser command that started but then failed (xdg-open finding no browser) is only known
// later: the window asks now and then, and each failure is said once.
void ReportFailedBrowsers(Platform& platform, UserDialogs& dialogs);
void OpenOnlineManual(Platform& platform, UserDialogs& dialogs);
// The update page, asked with the version stamp of the program's own file.
void CheckForUpdates(Platform& platform, UserDialogs& dialogs);

}  // namespace nimbra
