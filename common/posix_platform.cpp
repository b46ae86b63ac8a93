#include "common/posix_platform.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>
#include <utility>

extern char** environ;

namespace nimbra {
namespace {

// A program that is missing or no program at all fails here, not in a child process: the
// C library reports the failed exec as the error of the spawn.
// A failed exit is recorded in failed under commandLine when there is one.
IoError Spawn(const std::vector<std::string>& arguments, const std::string& commandLine = {},
              std::shared_ptr<PosixPlatform::FailedCommands> failed = nullptr)
{
    if (arguments.empty() || arguments[0].empty()) return IoError(ENOENT);
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (const int error = posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ)) return IoError(error);
    // Reaped in the background: the program never waits for a viewer or a browser.
    std::thread([pid, commandLine, failed] {
        int status = 0;
        if (waitpid(pid, &status, 0) != pid || !failed || !WIFEXITED(status) || WEXITSTATUS(status) == 0) return;
        const std::lock_guard lock(failed->Mutex);
        failed->Commands.push_back({commandLine, WEXITSTATUS(status)});
    }).detach();
    return {};
}

}  // namespace

std::optional<std::uint64_t> PosixPlatform::FreeBytes(const std::string& path)
{
    struct statvfs info {};
    if (statvfs(path.c_str(), &info) != 0) return std::nullopt;
    return static_cast<std::uint64_t>(info.f_bavail) * info.f_frsize;
}

std::string PosixPlatform::ExecutablePath()
{
    char buffer[4096];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0) return {};
    return std::string(buffer, static_cast<std::size_t>(length));
}

std::time_t PosixPlatform::ExecutableModified()
{
    struct stat info {};
    if (stat(ExecutablePath().c_str(), &info) != 0) return 0;
    return info.st_mtime;
}

std::string PosixPlatform::BrowserCommand() { return "xdg-open "; }

IoError PosixPlatform::StartCommandLine(const std::string& commandLine)
{
    return Spawn(SplitCommandLine(commandLine), commandLine, failed_);
}

std::vector<FailedCommand> PosixPlatform::TakeFailedCommands()
{
    const std::lock_guard lock(failed_->Mutex);
    return std::exchange(failed_->Commands, {});
}

IoError PosixPlatform::StartProgram(const std::string& program, const std::string& argument)
{
    return Spawn({program, argument});
}

std::vector<std::string> SplitCommandLine(const std::string& commandLine)
{
    std::vector<std::string> parts;
    std::string current;
    bool inQuotes = false;
    bool hasPart = false;
    for (const char c : commandLine) {
        if (c == '"') {
            inQuotes = !inQuotes;
            hasPart = true;
        } else if (c == ' ' && !inQuotes) {
            if (hasPart) parts.push_back(current);
            current.clear();
            hasPart = false;
        } else {
            current += c;
            hasPart = true;
        }
    }
    if (hasPart) parts.push_back(current);
    return parts;
}

}  // namespace nimbra
