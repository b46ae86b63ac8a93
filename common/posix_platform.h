#pragma once
#include "common/platform.h"

#include <memory>
#include <mutex>
#include <vector>

namespace nimbra {

// The real system: statvfs, /proc/self/exe, posix_spawn.
class PosixPlatform final : public Platform {
public:
    std::optional<std::uint64_t> FreeBytes(const std::string& path) override;
    std::string ExecutablePath() override;
    std::time_t ExecutableModified() override;
    std::string BrowserCommand() override;
    IoError StartCommandLine(const std::string& commandLine) override;
    IoError StartProgram(const std::string& program, const std::string& argument) override;
    std::vector<FailedCommand> TakeFailedCommands() override;

    // Filled by the threads that wait for the started programs, which may outlive the platform.
    struct FailedCommands {
        std::mutex Mutex;
        std::vector<FailedCommand> Commands;
    };

private:
    std::shared_ptr<FailedCommands> failed_ = std::make_shared<FailedCommands>();
};

// Splits a command line at runs of blanks; a part in double quotes keeps its blanks.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);

}  // namespace nimbra
