// nimbra-mpi render: the command-line renderer across the ranks of an MPI job. Rank 0 does what
// nimbra-cli render does and writes the same file; the other ranks compute its rows.
#include "cli/help_option.h"
#include "cli/mpi_handshake.h"
#include "cli/mpi_link.h"
#include "cli/mpi_row_source.h"
#include "cli/mpi_worker.h"
#include "cli/render_command.h"
#include "common/error.h"
#include "common/posix_platform.h"

#include <mpi.h>
#include <sched.h>
#include <stdlib.h>
#include <unistd.h>

#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr char Usage[] =
    "Aufruf: mpiexec -n N [--hostfile DATEI] nimbra-mpi render [Optionen]   (nimbra-mpi render --help)\n"
    "        nimbra-mpi --help | --version\n";

// The usage and the version need no MPI job, so they are answered before MPI starts (under
// mpiexec by every rank); the exit code, or nothing for a job to run.
std::optional<int> AnswerWithoutMpi(const std::vector<std::string>& words)
{
    if (words.empty()) return std::nullopt;
    if (const std::optional<int> answered = nimbra::AnswerProgramOption(words[0], "nimbra-mpi", Usage))
        return answered;
    const std::vector<std::string> args(words.begin() + 1, words.end());
    if (words[0] != "render" || !nimbra::AsksForHelp(args)) return std::nullopt;
    nimbra::PosixPlatform platform;
    return nimbra::RunRenderCommand(args, std::cout, std::cerr, platform, {.Program = "nimbra-mpi"});
}

// mpiexec hands rank 0 a pipe as standard error: the bar shows when mpiexec's own standard
// error is a terminal (rank 0 runs beside it, on the first host).
bool ProgressVisible()
{
    if (isatty(STDERR_FILENO) == 1) return true;
    const std::string launcher = "/proc/" + std::to_string(getppid()) + "/fd/2";
    char target[64] = {};
    const ssize_t length = readlink(launcher.c_str(), target, sizeof target - 1);
    const std::string path(target, length > 0 ? static_cast<std::size_t>(length) : 0);
    return path.rfind("/dev/pts/", 0) == 0 || path.rfind("/dev/tty", 0) == 0;
}

// Open MPI binds a rank to a core or a socket, as suits ranks of one thread; this one computes
// with threads of its own on every core of its machine.
void UseAllCores()
{
    cpu_set_t all;
    CPU_ZERO(&all);
    for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu) CPU_SET(cpu, &all);
    sched_setaffinity(0, sizeof all, &all);
}

int RenderOnRankZero(const std::vector<std::string>& args, int ranks)
{
    nimbra::PosixPlatform platform;
    nimbra::MpiLink link;
    nimbra::RenderSetup setup{.Program = "nimbra-mpi", .ProgressVisible = ProgressVisible()};
    if (ranks > 1) {
        nimbra::CheckRanksMatch(link);
        setup.MakeRowSource = [&](const nimbra::FractalParams& params, const std::atomic<bool>& stop, int threads,
                                  nimbra::EngineShortcuts shortcuts, std::int32_t firstRow) {
            const nimbra::RunOrder order{.Params = params, .Shortcuts = shortcuts, .Threads = threads};
            return std::make_unique<nimbra::MpiRowSource>(params, stop, order, link, firstRow);
        };
    }
    const int code = nimbra::RunRenderCommand(args, std::cout, std::cerr, platform, setup);
    // Its file is gone and its message printed; a rank that broke the rules may never answer.
    if (link.RankRefused()) MPI_Abort(MPI_COMM_WORLD, code);
    if (ranks > 1) nimbra::EndWorkers(link);
    return code;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> words(argv + 1, argv + argc);
    if (const std::optional<int> answered = AnswerWithoutMpi(words)) return *answered;
    // Ranks on one machine send a row's counts (4 bytes a pixel) in one go up to 32 KiB rather
    // than the 4 KiB Open MPI sets there, so a row does not wait for rank 0 to come and fetch it.
    // The machines' network already sends up to 64 KiB so. A user's own setting stays.
    setenv("OMPI_MCA_btl_vader_eager_limit", "32768", 0);
    int provided = 0;
    MPI_Init_thread(&argc, &argv, MPI_THREAD_FUNNELED, &provided);
    UseAllCores();
    // Failures come back as errors, so that rank 0 ends the run in order and removes its file.
    MPI_Comm_set_errhandler(MPI_COMM_WORLD, MPI_ERRORS_RETURN);
    int rank = 0, ranks = 1;
    MPI_Comm_rank(MPI_COMM_WORLD, &rank);
    MPI_Comm_size(MPI_COMM_WORLD, &ranks);
    int code = 2;
    try {
        if (words.empty() || words[0] != "render") {
            if (rank == 0) std::cerr << "nimbra-mpi: der Befehl render wird gebraucht\n" << Usage;
        } else if (rank == 0) {
            code = RenderOnRankZero({words.begin() + 1, words.end()}, ranks);
        } else {
            code = nimbra::RunMpiWorker();
        }
    } catch (const nimbra::Error& error) {
        std::cerr << error.what() << '\n';
        MPI_Abort(MPI_COMM_WORLD, 1);
    }
    MPI_Finalize();
    return code;
}
