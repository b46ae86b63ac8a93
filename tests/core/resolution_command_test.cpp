#include "cli/resolution_command.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace nimbra;

namespace {

struct Result {
    int exitCode;
    std::string out;
    std::string err;
};

Result RunCommand(const std::vector<std::string>& args)
{
    std::ostringstream out;
    std::ostringstream err;
    const int exitCode = RunResolutionCommand(args, out, err);
    return {exitCode, out.str(), err.str()};
}

}  // namespace

TEST(ResolutionCliCommand, PrintsWidthByHeight)
{
    const Result result = RunCommand({"A4", "300"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "3394 x 2400\n");
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(RunCommand({"A2", "750 dpi"}).out, "18028 x 12750\n");
}

TEST(ResolutionCliCommand, UnusableResolutionGivesTheProgramsMessage)
{
    const Result noDigits = RunCommand({"A4", "dpi"});
    EXPECT_EQ(noDigits.exitCode, 1);
    EXPECT_EQ(noDigits.err, "'' ist kein gültiger Integerwert\n");
    EXPECT_EQ(noDigits.out, "");
    const Result overflow = RunCommand({"A4", "999999999"});
    EXPECT_EQ(overflow.exitCode, 1);
    EXPECT_EQ(overflow.err, "Integerüberlauf\n");
}

TEST(ResolutionCliCommand, WrongArgumentsAreBadUsage)
{
    struct Case {
        std::vector<std::string> args;
        std::string problem;
    };
    const Case cases[] = {
        {{"A4"}, "FORMAT und DPI werden gebraucht"},
        {{"A4", "300", "x"}, "überzähliges Argument 'x'"},
        {{"A4", "--dpi", "300"}, "unbekannte Option '--dpi'"},
    };
    for (const Case& c : cases) {
        const Result result = RunCommand(c.args);
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_EQ(result.err.rfind("nimbra-cli resolution: " + c.problem + "\nAufruf: nimbra-cli resolution", 0), 0u)
            << result.err;
    }
}
