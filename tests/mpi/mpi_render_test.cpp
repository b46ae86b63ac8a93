#include "engine/fractal_params.h"
#include "files/config_file.h"
#include "palette/palette_list.h"
#include "tests/support/child_process.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <thread>

using namespace nimbra;
using namespace nimbra::testing;

namespace {

// Open MPI kept quiet and on this machine: shared memory between the ranks, the launcher's
// own connections on loopback, no reading of another process's memory (containers forbid it).
// When it ends a job, it sends SIGTERM and by default kills a few milliseconds later: too soon
// for a loaded machine to let rank 0 remove its unfinished file.
const std::vector<std::string> LocalOnly = {"OMPI_MCA_btl=self,vader", "OMPI_MCA_oob_tcp_if_include=lo",
                                            "OMPI_MCA_btl_vader_single_copy_mechanism=none"};
std::vector<std::string> TimeToClean()
{
    std::vector<std::string> environment = LocalOnly;
    environment.push_back("OMPI_MCA_odls_base_sigkill_timeout=3");
    return environment;
}

pid_t StartMpiRender(const std::string& folder, int ranks, const std::vector<std::string>& args)
{
    std::vector<std::string> command = {NIMBRA_MPIEXEC, "-n", std::to_string(ranks), "--oversubscribe"};
    if (getuid() == 0) command.push_back("--allow-run-as-root");
    command.insert(command.end(), {NIMBRA_MPI, "render"});
    command.insert(command.end(), args.begin(), args.end());
    return StartProcess(folder, command, TimeToClean());
}

bool ExitedWith(int status, int code) { return WIFEXITED(status) && WEXITSTATUS(status) == code; }

bool HasLine(std::istream&& in, char separator, const std::string& wanted)
{
    for (std::string line; std::getline(in, line, separator);)
        if (line == wanted) return true;
    return false;
}

// The process that mpiexec started as rank; 0 while there is none.
pid_t RankProcess(pid_t mpiexec, int rank)
{
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        if (HasLine(std::ifstream(entry.path() / "status"), '\n', "PPid:\t" + std::to_string(mpiexec)) &&
            HasLine(std::ifstream(entry.path() / "environ"), '\0', "OMPI_COMM_WORLD_RANK=" + std::to_string(rank)))
            return std::stoi(entry.path().filename().string());
    }
    return 0;
}

}  // namespace

TEST(MpiRender, AnyNumberOfRanksWritesTheFileOfTheCli)
{
    TempFolder folder;
    FractalParams gradientView;
    gradientView.Formula = static_cast<std::uint8_t>(FormulaKind::BurningShip);
    gradientView.Model = ColorModel::Grad;
    gradientView.Width = 70;
    gradientView.Height = 50;
    gradientView.MaxIterations = 250;
    gradientView.RealFrom = -2.2L;
    gradientView.RealTo = 1.3L;
    gradientView.ImagFrom = -1.8L;
    gradientView.ImagTo = 0.7L;
    PaletteList gradient;
    gradient.SetPaletteNode(120, 250, 30, 90);
    ScriptedDialogs dialogs;
    WriteConfigurationFile(folder / "ship.cfg", BuildConfigRecord(gradientView), gradient, dialogs);

    const std::vector<std::string> views[] = {
        // The default region: its rows mirror exactly, so rank 0 reuses rows it received.
        {"--size", "96x64", "--iterations", "400", "--threads", "2"},
        // Rows that mirror exactly, but the constant's imaginary part keeps the orbits from doing so.
        {"--formula", "julia", "--julia", "-0.4:0.6", "--real", "-2:2", "--imag", "-1.5:1.5", "--size", "80x48",
         "--iterations", "300", "--color", "cmy", "--invert", "--threads", "1"},
        {"--config", folder / "ship.cfg", "--threads", "3"},
        {"--size", "32x24", "--supersample", "3", "--iterations", "500", "--threads", "1"},
    };
    for (const auto& view : views) {
        std::vector<std::string> args = view;
        args.insert(args.end(), {"-o", "cli.tga"});
        std::vector<std::string> cli = {NIMBRA_CLI, "render"};
        cli.insert(cli.end(), args.begin(), args.end());
        ASSERT_TRUE(ExitedWith(WaitFor(StartProcess(folder.Path(), cli)), 0));
        const std::vector<std::uint8_t> expected = ReadBytes(folder / "cli.tga");
        ASSERT_GT(expected.size(), 18u);
        for (int ranks = 1; ranks <= 3; ++ranks) {
            args.back() = "mpi.tga";
            ASSERT_TRUE(ExitedWith(WaitFor(StartMpiRender(folder.Path(), ranks, args)), 0)) << ranks;
            EXPECT_EQ(ReadBytes(folder / "mpi.tga"), expected) << view[0] << ", " << ranks << " ranks";
            std::filesystem::remove(folder / "mpi.tga");
        }
    }
}

TEST(MpiRender, AKilledRankOrCtrlCLeavesNoFileButItsRowsAndTheOlderOneStays)
{
    // On the real axis the orbits wander without end and are never proven bounded: hours.
    const std::vector<std::string> slow = {"--size",  "64x48", "--iterations", "10000000",  "--real", "-1.99:-1.6",
                                           "--imag",  "0:0",   "--threads",    "1",         "-o",     "out.tga"};
    for (const bool killRank : {true, false}) {
        TempFolder folder;
        WriteBytes(folder / "out.tga", {'o', 'l', 'd'});
        const pid_t mpiexec = StartMpiRender(folder.Path(), 3, slow);
        while (HiddenFiles(folder.Path()) == 0) {
            ASSERT_EQ(waitpid(mpiexec, nullptr, WNOHANG), 0) << "the render ended before it began its file";
            std::this_thread::yield();
        }
        if (killRank) {
            const pid_t rank = RankProcess(mpiexec, 1);
            ASSERT_GT(rank, 0);
            kill(rank, SIGKILL);
        } else {
            kill(mpiexec, SIGINT);
        }
        const int status = WaitFor(mpiexec);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 0) << killRank;
        EXPECT_EQ(ReadBytes(folder / "out.tga"), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
        EXPECT_EQ(HiddenFiles(folder.Path()), 0);  // rank 0 saw the end coming and removed its file
        EXPECT_TRUE(FileExists(folder / ".out.tga.nimbra-resume"));  // for --resume
    }
}

TEST(MpiRender, ARankOfAnotherBuildEndsTheJobWithAMessageNamingItAndNoFile)
{
    const struct {
        const char* mode;
        const char* message;
    } cases[] = {
        {"other-build", "Rang 1 läuft mit einem anderen Stand von nimbra-mpi"},
        {"short-rows", " mit 16 statt 32 Werten"},
        {"long-rows", " mit 64 statt 32 Werten"},
        {"foreign-row", ", die ihm nicht aufgetragen war"},
    };
    for (const auto& c : cases) {
        TempFolder folder;
        WriteBytes(folder / "out.tga", {'o', 'l', 'd'});
        std::vector<std::string> command = {NIMBRA_MPIEXEC, "--oversubscribe"};
        if (getuid() == 0) command.push_back("--allow-run-as-root");
        // Rank 0 computes rows too, on one thread; which rows rank 1 gets is left to chance.
        command.insert(command.end(), {"-n", "1", NIMBRA_MPI, "render", "--size", "32x400", "--threads", "1", "-o",
                                       "out.tga", ":", "-n", "1", NIMBRA_STALE_RANK, c.mode});
        const int status = WaitFor(StartProcess(folder.Path(), command, LocalOnly, folder / "output.txt"));
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 0) << c.mode;
        std::ifstream output(folder / "output.txt");
        const std::string text{std::istreambuf_iterator<char>(output), {}};
        EXPECT_NE(text.find("Rang 1 "), std::string::npos) << text;
        EXPECT_NE(text.find(c.message), std::string::npos) << text;
        EXPECT_EQ(ReadBytes(folder / "out.tga"), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
        EXPECT_EQ(HiddenFiles(folder.Path()), 0);
    }
}

TEST(MpiRender, AnInterruptedSupersampledRenderContinuedAcrossRanksEndsWithTheBytesOfTheCli)
{
    TempFolder folder;
    // A second or more of rows on one thread, well past the moment the rows start going to disk.
    const std::vector<std::string> poster = {"render", "--formula", "burningship", "--iterations", "300000", "--size",
                                             "100x50", "--supersample", "2", "--threads", "1"};
    const auto cli = [&](const std::string& name) {
        std::vector<std::string> command = {NIMBRA_CLI};
        command.insert(command.end(), poster.begin(), poster.end());
        command.insert(command.end(), {"-o", name});
        return StartProcess(folder.Path(), command);
    };
    ASSERT_TRUE(ExitedWith(WaitFor(cli("whole.png")), 0));
    const pid_t first = cli("poster.png");
    while (!std::filesystem::exists(folder / ".poster.png.nimbra-part") ||
           std::filesystem::file_size(folder / ".poster.png.nimbra-part") < 5 * 100 * 3) {
        ASSERT_EQ(waitpid(first, nullptr, WNOHANG), 0) << "the render ended before it was interrupted";
        std::this_thread::yield();
    }
    kill(first, SIGINT);
    ASSERT_TRUE(ExitedWith(WaitFor(first), 130));

    std::vector<std::string> args(poster.begin() + 1, poster.end());
    args.insert(args.end(), {"-o", "poster.png", "--resume"});
    ASSERT_TRUE(ExitedWith(WaitFor(StartMpiRender(folder.Path(), 2, args)), 0));
    EXPECT_EQ(ReadBytes(folder / "poster.png"), ReadBytes(folder / "whole.png"));
}
