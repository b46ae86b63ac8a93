#pragma once
#include "common/platform.h"

#include <utility>
#include <vector>

namespace nimbra::testing {

// Free space you set; programs recorded, never started, and their start fails as you set.
class FakePlatform final : public Platform {
public:
    std::optional<std::uint64_t> FreeBytes(const std::string& path) override;
    std::string ExecutablePath() override { return ExecutablePathValue; }
    std::time_t ExecutableModified() override { return ExecutableModifiedValue; }
    std::string BrowserCommand() override { return BrowserCommandValue; }
    IoError StartCommandLine(const std::string& commandLine) override;
    IoError StartProgram(const std::string& program, const std::string& argument) override;
    std::vector<FailedCommand> TakeFailedCommands() override { return std::exchange(FailedCommandsValue, {}); }

    std::optional<std::uint64_t> FreeBytesValue = std::uint64_t{1} << 40;
    std::string ExecutablePathValue = "/opt/nimbra/bin/nimbra";
    std::time_t ExecutableModifiedValue = 0;
    std::string BrowserCommandValue = "xdg-open ";
    IoError StartErrorValue;  // what every start answers
    std::vector<FailedCommand> FailedCommandsValue;  // handed out once
    std::vector<std::string> FreeBytesAskedFor;
    std::vector<std::string> StartedCommandLines;
    std::vector<std::pair<std::string, std::string>> StartedPrograms;
};

}  // namespace nimbra::testing
