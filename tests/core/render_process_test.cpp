#include "tests/support/child_process.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <csignal>
#include <filesystem>
#include <thread>

namespace nimbra {
namespace {

using testing::FileExists;
using testing::HiddenFiles;
using testing::ReadBytes;
using testing::StartProcess;
using testing::TempFolder;
using testing::WaitFor;
using testing::WriteBytes;

// nimbra-cli render with args, in folder, its output thrown away.
pid_t StartRender(const std::string& folder, std::vector<std::string> args)
{
    args.insert(args.begin(), {NIMBRA_CLI, "render"});
    return StartProcess(folder, args);
}

TEST(RenderProcess, WhateverEndsARunNoPartialImageTakesANameAndTheOlderOnesStay)
{
    TempFolder folder;
    const std::string pix = folder / "pix/";
    std::filesystem::create_directory(pix);
    WriteBytes(pix + "nimbra000.tga", {'o', 'l', 'd'});
    // Hours of computing inside the set, on one thread.
    const std::vector<std::string> slow = {"--size", "2000x2000", "--iterations", "1000000", "--real",
                                           "-0.1:0.1", "--imag", "-0.1:0.1", "--threads", "1"};
    // SIGKILL last: the hidden file it leaves must not be taken for that of the next run.
    const struct { int signal, exitCode; } cases[] = {{SIGINT, 130}, {SIGTERM, 143}, {SIGHUP, 129}, {SIGKILL, 0}};
    for (const auto& c : cases) {
        const pid_t render = StartRender(folder.Path(), slow);
        while (HiddenFiles(pix) == 0) {
            ASSERT_EQ(waitpid(render, nullptr, WNOHANG), 0) << "the render ended before it began its file";
            std::this_thread::yield();
        }
        kill(render, c.signal);
        const int status = WaitFor(render);
        if (c.signal == SIGKILL)
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
        else
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == c.exitCode) << c.signal;
        EXPECT_EQ(ReadBytes(pix + "nimbra000.tga"), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
        EXPECT_FALSE(FileExists(pix + "nimbra001.tga"));
        EXPECT_EQ(HiddenFiles(pix), c.signal == SIGKILL ? 1 : 0);
    }

    // Two renders started together both finish, under the next two numbers, and the hidden
    // file of the killed one, by now an hour old, is gone.
    for (const auto& entry : std::filesystem::directory_iterator(pix))
        if (entry.path().filename().string().rfind(".nimbra-", 0) == 0)
            std::filesystem::last_write_time(entry.path(),
                                             std::filesystem::last_write_time(entry.path()) - std::chrono::hours(1));
    const pid_t first = StartRender(folder.Path(), {"--size", "64x48"});
    const pid_t second = StartRender(folder.Path(), {"--size", "64x48"});
    for (const pid_t render : {first, second}) {
        const int status = WaitFor(render);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(ReadBytes(pix + "nimbra001.tga").size(), 18u + 64 * 48 * 3);
    EXPECT_EQ(ReadBytes(pix + "nimbra002.tga").size(), 18u + 64 * 48 * 3);
    EXPECT_EQ(HiddenFiles(pix), 0);
}

}  // namespace
}  // namespace nimbra
