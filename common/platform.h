#pragma once
#include "common/io_error.h"

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace nimbra {

// A command line that started, but whose program then ended with an exit status other than 0.
struct FailedCommand {
    std::string CommandLine;
    int ExitStatus = 0;
};

// What the system tells us or does for us.
class Platform {
public:
    virtual ~Platform() = default;
    // Free bytes of the volume that holds path; nothing when the system cannot tell.
    virtual std::optional<std::uint64_t> FreeBytes(const std::string& path) = 0;
    virtual std::string ExecutablePath() = 0;
    virtual std::time_t ExecutableModified() = 0;
    // The command that opens an HTML page, the address appended directly ("xdg-open ").
    virtual std::string BrowserCommand() = 0;
    // Starts a command line (split at blanks) without waiting; why it could not start, if so.
    virtual IoError StartCommandLine(const std::string& commandLine) = 0;
    // The command lines of StartCommandLine that have failed since the last call.
    virtual std::vector<FailedCommand> TakeFailedCommands() = 0;
    // Starts program with exactly one argument, without waiting; why it could not start, if so.
    virtual IoError StartProgram(const std::string& program, const std::string& argument) = 0;
};

}  // namespace nimbra
