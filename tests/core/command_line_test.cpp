#include "tests/support/child_process.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace nimbra::testing;

// Asked anywhere on the line, help is the usage on standard output and nothing else: exit 0,
// no message, no file made.
TEST(CommandLine, HelpPrintsTheUsageOnStandardOutput)
{
    struct Case {
        std::vector<std::string> command;
        std::string usageStart;
    };
    const std::vector<Case> cases = {
        {{NIMBRA_CLI, "--help"}, "Aufruf: nimbra-cli render [Optionen]"},
        {{NIMBRA_CLI, "render", "--help"}, "Aufruf: nimbra-cli render [Optionen]\n  --config"},
        {{NIMBRA_CLI, "render", "--size", "8x6", "-o", "x.tga", "--help"}, "Aufruf: nimbra-cli render [Optionen]\n"},
        {{NIMBRA_CLI, "render", "--bogus", "--help"}, "Aufruf: nimbra-cli render [Optionen]\n"},
        {{NIMBRA_CLI, "convert", "--help"}, "Aufruf: nimbra-cli convert ART"},
        {{NIMBRA_CLI, "convert", "png", "x.tga", "--help"}, "Aufruf: nimbra-cli convert ART"},
        {{NIMBRA_CLI, "resolution", "--help"}, "Aufruf: nimbra-cli resolution FORMAT DPI"},
#ifdef NIMBRA_MPI
        {{NIMBRA_MPI, "--help"}, "Aufruf: mpiexec -n N"},
        {{NIMBRA_MPI, "render", "--size", "8x6", "--help"}, "Aufruf: nimbra-mpi render [Optionen]\n  --config"},
#endif
    };
    for (const Case& c : cases) {
        TempFolder folder;
        const ProgramResult result = RunProgram(folder.Path(), c.command);
        const std::string line = c.command[1] + " " + c.command.back();
        EXPECT_EQ(result.ExitCode, 0) << line;
        EXPECT_EQ(result.Out.rfind(c.usageStart, 0), 0u) << line << "\n" << result.Out;
        EXPECT_EQ(result.Err, "") << line;
        EXPECT_TRUE(std::filesystem::is_empty(folder.Path())) << line;
    }
}

TEST(CommandLine, VersionIsTheProjectVersion)
{
    TempFolder folder;
    const ProgramResult cli = RunProgram(folder.Path(), {NIMBRA_CLI, "--version"});
    EXPECT_EQ(cli.ExitCode, 0);
    EXPECT_EQ(cli.Out, "nimbra-cli " NIMBRA_PROJECT_VERSION "\n");
    EXPECT_EQ(cli.Err, "");
#ifdef NIMBRA_MPI
    const ProgramResult mpi = RunProgram(folder.Path(), {NIMBRA_MPI, "--version"});
    EXPECT_EQ(mpi.ExitCode, 0);
    EXPECT_EQ(mpi.Out, "nimbra-mpi " NIMBRA_PROJECT_VERSION "\n");
#endif
}

TEST(CommandLine, AnUnknownCommandIsStillBadUsage)
{
    TempFolder folder;
    const ProgramResult result = RunProgram(folder.Path(), {NIMBRA_CLI, "--versio"});
    EXPECT_EQ(result.ExitCode, 2);
    EXPECT_EQ(result.Out, "");
    EXPECT_EQ(result.Err.rfind("nimbra-cli: unbekannter Befehl '--versio'\nAufruf:", 0), 0u) << result.Err;
}
