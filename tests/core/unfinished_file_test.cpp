#include "common/unfinished_file.h"

#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>

#include <filesystem>

namespace nimbra {
namespace {

using testing::FileExists;
using testing::TempFolder;

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

// The mark a writer puts at the start of its hidden file, of a kind, for the name's letters.
std::string Mark(char kind, const std::string& letters) { return "\x7Fnimbra unfinished " + std::string(1, kind) + letters; }

TEST(UnfinishedFile, TheCleanUpRemovesOnlyWhatAKilledRunProvablyLeft)
{
    TempFolder folder;
    const struct {
        const char* name;
        std::string content;
        bool removed;
    } files[] = {
        {".nimbra-backup", "the user's own", false},
        {".nimbra-aZ3kQ9", "same pattern, no mark, and long enough to hold one", false},
        {".nimbra-Qx7pL2", Mark('D', "aZ3kQ9") + "a leftover copied under another name", false},
        {".nimbra-Rk4mN8", Mark('R', "Rk4mN8") + "a render to be resumed", false},
        {".nimbra-Lk9wE3", Mark('D', "Lk9wE3") + "its writer still lives", false},
        {".nimbra-Lf5tY1", Mark('D', "Lf5tY1") + "left by a killed run", true},
        {".nimbra-Sh0rt1", Mark('D', "Sh0rt1").substr(0, 10), false},
    };
    for (const auto& file : files) {
        testing::WriteBytes(folder / file.name, Bytes(file.content));
        std::filesystem::last_write_time(folder / file.name,
                                         std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
    }
    const FileDescriptor writer(::open((folder / ".nimbra-Lk9wE3").c_str(), O_RDONLY | O_CLOEXEC));
    ASSERT_EQ(::flock(writer.Get(), LOCK_EX), 0);

    UnfinishedFile created = CreateUnfinishedFile(folder.Path());
    ASSERT_FALSE(created.Error);
    for (const auto& file : files) {
        EXPECT_EQ(FileExists(folder / file.name), !file.removed) << file.name;
        if (!file.removed) {
            EXPECT_EQ(testing::ReadBytes(folder / file.name), Bytes(file.content)) << file.name;
        }
    }
    // A fresh one is marked from its start, so that no other program's clean-up takes it.
    EXPECT_EQ(testing::ReadBytes(created.Path), Bytes(Mark('D', created.Path.substr(created.Path.size() - 6))));
}

}  // namespace
}  // namespace nimbra
