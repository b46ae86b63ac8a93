#include "tests/support/fake_platform.h"

namespace nimbra::testing {

std::optional<std::uint64_t> FakePlatform::FreeBytes(const std::string& path)
{
    FreeBytesAskedFor.push_back(path);
    return FreeBytesValue;
}

IoError FakePlatform::StartCommandLine(const std::string& commandLine)
{
    StartedCommandLines.push_back(commandLine);
    return StartErrorValue;
}

IoError FakePlatform::StartProgram(const std::string& program, const std::string& argument)
{
    StartedPrograms.emplace_back(program, argument);
    return StartErrorValue;
}

}  // namespace nimbra::testing
