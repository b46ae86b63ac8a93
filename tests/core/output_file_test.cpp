#include "common/output_file.h"

#include "cli/convert_command.h"
#include "cli/render_command.h"
#include "common/file_faults.h"
#include "common/posix_platform.h"
#include "files/config_file.h"
#include "files/palette_file.h"
#include "files/param_files.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <sstream>
#include <thread>

namespace nimbra {
namespace {

using testing::ReadBytes;
using testing::ScriptedDialogs;
using testing::TempFolder;
using testing::WriteBytes;

int Render(const std::vector<std::string>& args)
{
    PosixPlatform platform;
    std::ostringstream out, err;
    return RunRenderCommand(args, out, err, platform);
}

std::size_t EntriesIn(const std::string& folder)
{
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
}

TEST(OutputFile, AnOlderFileSurvivesAFailingWriteOrRenameOfEveryKind)
{
    ScriptedDialogs dialogs;
    const PaletteList palette;
    // Each writes the file at path; a conversion writes the "CONV_" copy of "a.tga" beside it.
    const struct {
        const char* name;
        std::function<void(const std::string& path)> write;
    } kinds[] = {
        {"image.tga", [](const std::string& path) { Render({"--size", "4x3", "-o", path}); }},
        {"CONV_a.tga",
         [](const std::string& path) {
             const std::string input = path.substr(0, path.rfind('/') + 1) + "a.tga";
             WriteBytes(input, std::vector<std::uint8_t>(18 + 6, 9));
             PosixPlatform platform;
             std::ostringstream out, err;
             RunConvertCommand({"rgbcmy", input}, out, err, platform);
         }},
        {"setup.cfg",
         [&](const std::string& path) { WriteConfigurationFile(path, ConfigRecord{}, palette, dialogs); }},
        {"gradient.pal", [&](const std::string& path) { WritePaletteFile(path, palette, dialogs); }},
        {"nimbra.par", [&](const std::string& path) { SaveParameterFile(path, {"0,3"}, {"0,5"}, dialogs); }},
    };
    const FileFaults faults[] = {{.FailingWrite = 1, .WriteError = ENOSPC}, {.CommitError = EIO}};
    for (const auto& kind : kinds) {
        for (const FileFaults& fault : faults) {
            TempFolder folder;
            const std::string path = folder / kind.name;
            WriteBytes(path, {'o', 'l', 'd'});
            {
                const FileFaultScope failing(fault);
                kind.write(path);
            }
            EXPECT_EQ(ReadBytes(path), (std::vector<std::uint8_t>{'o', 'l', 'd'})) << kind.name;
            for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
                EXPECT_NE(entry.path().filename().string().rfind(".nimbra-", 0), 0u) << kind.name;
        }
        TempFolder folder;
        kind.write(folder / kind.name);
        EXPECT_NE(ReadBytes(folder / kind.name).size(), 0u) << kind.name << " is written without a fault";
    }
}

TEST(OutputFile, ALinkStaysAndAFifoOrDeviceIsWrittenIntoDirectly)
{
    TempFolder folder;
    std::filesystem::create_directory(folder / "images");
    WriteBytes(folder / "images/old.tga", {1});
    std::filesystem::create_symlink("images/old.tga", folder / "link.tga");
    std::filesystem::create_symlink("images/new.tga", folder / "dangling.tga");
    ASSERT_EQ(Render({"--size", "2x2", "-o", folder / "link.tga"}), 0);
    ASSERT_EQ(Render({"--size", "2x2", "-o", folder / "dangling.tga"}), 0);
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "link.tga"));
    EXPECT_EQ(ReadBytes(folder / "images/old.tga").size(), 18u + 2 * 2 * 3);
    EXPECT_EQ(ReadBytes(folder / "images/new.tga").size(), 18u + 2 * 2 * 3);

    EXPECT_EQ(Render({"--size", "2x2", "-o", "/dev/null"}), 0);
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));

    ASSERT_EQ(::mkfifo((folder / "pipe").c_str(), 0600), 0);
    EXPECT_EQ(Render({"--size", "2x2", "-o", folder / "pipe"}), 1);  // nobody reads: refused, not waiting
    std::vector<std::uint8_t> piped;
    std::thread reader([&] { piped = ReadBytes(folder / "pipe"); });
    // The reader may open the FIFO after the first try of the renderer; it then tries again.
    while (Render({"--size", "2x2", "-o", folder / "pipe"}) != 0) std::this_thread::yield();
    reader.join();
    EXPECT_EQ(piped, ReadBytes(folder / "images/old.tga"));
    EXPECT_TRUE(std::filesystem::is_fifo(folder / "pipe"));
    EXPECT_EQ(EntriesIn(folder.Path()), 4u);
}

TEST(OutputFile, AFinishedFileCarriesItsOwnBytesWhateverItsLength)
{
    for (const std::size_t length : {0, 5, 26, 27, 100000}) {
        TempFolder folder;
        std::string content(length, '\0');
        for (std::size_t i = 0; i < length; ++i) content[i] = static_cast<char>('a' + i % 26);
        OutputFile file = OutputFile::Replacing(folder / "out");
        // In pieces that straddle the mark's end; what is written reads back as it was, also
        // across the mark's end and halfway.
        std::string back(length, '\0');
        for (std::size_t at = 0; at < length; at += 7) {
            ASSERT_FALSE(file.Write(content.data() + at, std::min<std::size_t>(7, length - at)));
            if (at == length / 2 / 7 * 7) {
                ASSERT_FALSE(file.ReadBack(at / 2, back.data(), at + 1 - at / 2));
                EXPECT_EQ(back.substr(0, at + 1 - at / 2), content.substr(at / 2, at + 1 - at / 2)) << length;
            }
        }
        ASSERT_FALSE(file.ReadBack(0, back.data(), length));
        EXPECT_EQ(back, content) << length;
        ASSERT_FALSE(file.Commit());
        EXPECT_EQ(ReadBytes(folder / "out"), std::vector<std::uint8_t>(content.begin(), content.end())) << length;
    }
}

}  // namespace
}  // namespace nimbra
