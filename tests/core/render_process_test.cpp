#include "engine/resume_record.h"
#include "tests/support/child_process.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <csignal>
#include <filesystem>
#include <optional>
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

std::uintmax_t SizeOrZero(const std::string& path)
{
    std::error_code missing;
    const std::uintmax_t size = std::filesystem::file_size(path, missing);
    return missing ? 0 : size;
}

TEST(RenderProcess, AKilledOrInterruptedRenderContinuedWithResumeEndsWithTheUninterruptedBytes)
{
    TempFolder folder;
    // A second or more of rows on one thread, well past the moment the rows start going to disk;
    // supersampled, into a PNG.
    const std::vector<std::string> poster = {"--formula", "burningship", "--iterations", "300000", "--size", "100x50",
                                             "--supersample", "2", "--dpi", "300", "--threads", "1"};
    const auto render = [&](const std::string& name, bool resume) {
        std::vector<std::string> args = poster;
        args.insert(args.end(), {"-o", name});
        if (resume) args.push_back("--resume");
        return StartRender(folder.Path(), args);
    };
    ASSERT_TRUE(WIFEXITED(WaitFor(render("whole.png", false))));
    const std::vector<std::uint8_t> whole = ReadBytes(folder / "whole.png");
    ASSERT_GT(whole.size(), 0u);

    const struct { int signal, exitCode; } cases[] = {{SIGKILL, 0}, {SIGINT, 130}};
    for (const auto& c : cases) {
        WriteBytes(folder / "poster.png", {'o', 'l', 'd'});
        const pid_t first = render("poster.png", false);
        // A tenth of the rows on disk.
        while (SizeOrZero(folder / ".poster.png.nimbra-part") < 5 * 100 * 3) {
            ASSERT_EQ(waitpid(first, nullptr, WNOHANG), 0) << "the render ended before it was interrupted";
            std::this_thread::yield();
        }
        kill(first, c.signal);
        const int status = WaitFor(first);
        EXPECT_TRUE(c.signal == SIGKILL ? WIFSIGNALED(status) : WIFEXITED(status) && WEXITSTATUS(status) == c.exitCode)
            << c.signal;
        EXPECT_EQ(ReadBytes(folder / "poster.png"), (std::vector<std::uint8_t>{'o', 'l', 'd'})) << c.signal;
        const std::vector<std::uint8_t> bytes = ReadBytes(folder / ".poster.png.nimbra-resume");
        const std::optional<ResumeRecord> record = DecodeResumeRecord({bytes.begin(), bytes.end()});
        ASSERT_TRUE(record) << c.signal;
        // An interrupt records every row on disk; a kill, those of the last sync.
        EXPECT_GE(record->RowsDone, c.signal == SIGINT ? 5 : 0);

        const int resumed = WaitFor(render("poster.png", true));
        EXPECT_TRUE(WIFEXITED(resumed) && WEXITSTATUS(resumed) == 0) << c.signal;
        EXPECT_EQ(ReadBytes(folder / "poster.png"), whole) << c.signal;
        EXPECT_FALSE(FileExists(folder / ".poster.png.nimbra-part"));
        EXPECT_FALSE(FileExists(folder / ".poster.png.nimbra-resume"));
    }
}

}  // namespace
}  // namespace nimbra
