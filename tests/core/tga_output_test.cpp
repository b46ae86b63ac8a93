#include "common/error.h"
#include "common/file_faults.h"
#include "engine/tga_output.h"
#include "tests/support/fake_platform.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <thread>

using namespace nimbra;
using namespace nimbra::testing;

namespace {

struct OutputFixture : ::testing::Test {
    TempFolder folder;
    ScriptedDialogs dialogs;
    FakePlatform platform;
    NoPump pump;
    std::string lastImagePath = "unchanged";

    OutputFixture() { std::filesystem::create_directory(folder / "pix"); }

    std::optional<TgaFile> Prepare(std::int32_t width = 2, std::int32_t height = 2)
    {
        return PrepareOutputFile(width, height, folder.Path(), lastImagePath, dialogs, platform, pump);
    }
};

}  // namespace

TEST(TgaOutput, HeaderOf640By480)
{
    const auto header = TgaHeader(640, 480);
    const std::array<std::uint8_t, 18> expected = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 128, 2, 224, 1, 24, 32};
    EXPECT_EQ(header, expected);
    EXPECT_THROW(TgaHeader(10, 65536), Error);
}

TEST_F(OutputFixture, TheFirstFreeNumberIsUsed)
{
    auto first = Prepare();
    ASSERT_TRUE(first);
    EXPECT_EQ(lastImagePath, folder / "pix/nimbra000.tga");
    EXPECT_EQ(first->Finish(), folder / "pix/nimbra000.tga");
    WriteBytes(folder / "pix/nimbra002.tga", {1});
    auto second = Prepare();
    ASSERT_TRUE(second);
    EXPECT_EQ(second->Path(), folder / "pix/nimbra001.tga");
    EXPECT_TRUE(dialogs.Messages.empty());
}

TEST_F(OutputFixture, AllNamesTakenIsAnOverflow)
{
    for (int number = 0; number <= 254; ++number) WriteBytes(ImageFileName(folder.Path(), number), {});
    try {
        Prepare();
        ADD_FAILURE();
    } catch (const Error& error) {
        EXPECT_EQ(error.what(), "Integerüberlauf\nalle Namen von " + folder / "pix/nimbra000.tga" + " bis " +
                                    folder / "pix/nimbra254.tga" + " sind vergeben: bitte Bilder verschieben oder löschen");
    }
    EXPECT_FALSE(FileExists(folder / "pix/nimbra255.tga"));
}

TEST_F(OutputFixture, FreeSpaceMustExceedTheImagePlus24Bytes)
{
    platform.FreeBytesValue = 921624;
    EXPECT_FALSE(Prepare(640, 480));
    EXPECT_EQ(dialogs.Messages, std::vector<std::string>{"Freie Speicherkapazität der Festplatte zu niedrig !\n" +
                                                         folder / "pix/nimbra000.tga" +
                                                         " braucht 921624 Bytes, auf dem Datenträger von "
                                                         "/opt/nimbra/bin/ sind 921624 frei"});
    EXPECT_EQ(lastImagePath, "");
    EXPECT_FALSE(FileExists(folder / "pix/nimbra000.tga"));
    EXPECT_EQ(platform.FreeBytesAskedFor.back(), "/opt/nimbra/bin/");  // the program's own volume

    platform.FreeBytesValue = 921625;
    EXPECT_TRUE(Prepare(640, 480));
}

TEST_F(OutputFixture, SizeBeyond32BitsIsAnOverflow)
{
    EXPECT_THROW(Prepare(20480, 40000), Error);
}

TEST_F(OutputFixture, MissingFolderCannotBeCreated)
{
    std::filesystem::remove(folder / "pix");
    EXPECT_FALSE(Prepare());
    EXPECT_EQ(dialogs.Messages, std::vector<std::string>{"Kann die Bilddatei " + folder / "pix/nimbra000.tga" +
                                                         " nicht anlegen !\nDatei oder Ordner nicht vorhanden"});
    EXPECT_EQ(lastImagePath, folder / "pix/nimbra000.tga");
}

TEST_F(OutputFixture, AnUnfinishedFileLeavesNothing)
{
    {
        auto file = Prepare();
        ASSERT_TRUE(file);
        file->WriteTgaHeader(2, 2);
        EXPECT_FALSE(FileExists(folder / "pix/nimbra000.tga"));  // no name before the end
    }
    EXPECT_TRUE(std::filesystem::is_empty(folder / "pix"));
}

TEST_F(OutputFixture, RunsFinishingTogetherTakeTheNextFreeNumbers)
{
    auto first = Prepare();
    auto second = Prepare();
    ASSERT_TRUE(first && second);
    EXPECT_EQ(second->Path(), folder / "pix/nimbra000.tga");  // both chose the same free number
    EXPECT_EQ(second->Finish(), folder / "pix/nimbra000.tga");
    EXPECT_EQ(first->Finish(), folder / "pix/nimbra001.tga");

    auto last = Prepare();
    for (int number = 2; number <= 254; ++number) WriteBytes(ImageFileName(folder.Path(), number), {});
    EXPECT_THROW(last->Finish(), Error);  // "Integerüberlauf": every number was taken meanwhile
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder / "pix"), {}), 255);
}

TEST_F(OutputFixture, ANamedFileReplacesTheOldOneOnlyWhenComplete)
{
    const std::string path = folder / "out.tga";
    WriteBytes(path, {7, 7, 7});
    {
        auto file = CreateNamedOutputFile(1, 1, path, dialogs, platform);
        ASSERT_TRUE(file);
        file->WriteTgaHeader(1, 1);
    }
    EXPECT_EQ(ReadBytes(path), (std::vector<std::uint8_t>{7, 7, 7}));
    auto file = CreateNamedOutputFile(1, 1, path, dialogs, platform);
    file->WriteTgaHeader(1, 1);
    const std::uint8_t pixel[3] = {1, 2, 3};
    file->Write(pixel, 3);
    EXPECT_EQ(file->Finish(), path);
    EXPECT_EQ(ReadBytes(path).size(), 21u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 2);  // out.tga and pix
}

TEST_F(OutputFixture, NumberedImagesStayWholeAndDistinctWhateverTheFolderCanDo)
{
    const FileFaults folderKinds[] = {
        {},                                                   // hard links
        {.LinkError = EPERM},                                 // FAT, exFAT: a rename that refuses to replace
        {.LinkError = EOPNOTSUPP, .NoReplaceError = EINVAL},  // neither: an exclusive placeholder
    };
    constexpr int Renders = 6;
    const std::vector<std::uint8_t> other = {'o', 't', 'h', 'e', 'r'};
    for (const FileFaults& kind : folderKinds) {
        std::filesystem::remove_all(folder / "pix");
        std::filesystem::create_directory(folder / "pix");
        std::vector<TgaFile> files;
        for (int i = 0; i < Renders; ++i) {
            files.push_back(*Prepare(1, 1));
            files.back().WriteTgaHeader(1, 1);
            const std::uint8_t pixel[3] = {1, 2, 3};
            files.back().Write(pixel, 3);
        }
        // All chose the first number, which another program takes before they end together.
        WriteBytes(folder / "pix/nimbra000.tga", other);
        std::vector<std::string> names(Renders);
        std::vector<std::thread> renders;
        for (int i = 0; i < Renders; ++i) {
            renders.emplace_back([&, i] {
                const FileFaultScope faults(kind);
                names[i] = files[i].Finish();
            });
        }
        for (std::thread& render : renders) render.join();
        std::sort(names.begin(), names.end());
        for (int number = 1; number <= Renders; ++number) {
            EXPECT_EQ(names[number - 1], ImageFileName(folder.Path(), number));
            EXPECT_EQ(ReadBytes(names[number - 1]).size(), 21u);
        }
        EXPECT_EQ(ReadBytes(folder / "pix/nimbra000.tga"), other);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder / "pix"), {}), Renders + 1);
    }
}
