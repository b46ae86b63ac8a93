#include "common/in_place_file.h"

#include "common/file_faults.h"
#include "common/output_file.h"
#include "files/param_files.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>

namespace nimbra {
namespace {

using testing::FileExists;
using testing::ReadBytes;
using testing::ScriptedDialogs;
using testing::TempFolder;
using testing::WriteBytes;

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

ino_t InodeOf(const std::string& path)
{
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_ino;
}

// Root may create files in any folder: the folder's refusal is asked of the file layer.
const FileFaults RefusingFolder{.CreateError = EACCES};

TEST(InPlaceFile, AFolderThatRefusesNewFilesHasItsWritableFilesWrittenInPlace)
{
    TempFolder folder;
    const std::string path = folder / "nimbra.par";
    WriteBytes(path, Bytes("0,1-!!-0,2\r\n0,7-!!-0,8\r\n"));
    const ino_t before = InodeOf(path);
    ScriptedDialogs dialogs;
    const FileFaultScope refusing(RefusingFolder);
    EXPECT_TRUE(SaveParameterFile(path, {"0,3"}, {"0,5"}, dialogs));
    EXPECT_EQ(ReadBytes(path), Bytes("0,3-!!-0,5\r\n"));
    EXPECT_EQ(InodeOf(path), before);

    // A file that is not there yet cannot be made, and the message blames the folder.
    EXPECT_FALSE(SaveParameterFile(folder / "new.par", {"0,3"}, {}, dialogs));
    EXPECT_EQ(dialogs.Messages, std::vector<std::string>{"Fehler beim Schreiben der Parameterdatei " + folder /
                                                         "new.par !\nder Ordner lässt keine neue Datei zu: keine "
                                                         "Berechtigung"});
    EXPECT_FALSE(FileExists(folder / "new.par"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);
}

TEST(InPlaceFile, AWriteFailingMidwayLeavesTheOldContentWhole)
{
    TempFolder folder;
    const std::string path = folder / "image.tga";
    const std::vector<std::uint8_t> old(1000, 'o');
    WriteBytes(path, old);
    const FileFaultScope refusing(RefusingFolder);
    OutputFile file = OutputFile::Replacing(path);
    ASSERT_TRUE(file.IsOpen());
    const std::string content(3 << 20, 'n');
    ASSERT_FALSE(file.Write(content.data(), content.size()));

    // A limit on file sizes that the new content passes after overwriting the old one.
    const auto ignoredSignal = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit {};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit before = limit;
    limit.rlim_cur = 1 << 20;
    ::setrlimit(RLIMIT_FSIZE, &limit);
    const IoError error = file.Commit();
    ::setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, ignoredSignal);

    EXPECT_EQ(error, IoError(EFBIG));
    EXPECT_EQ(ReadBytes(path), old);
}

}  // namespace
}  // namespace nimbra
