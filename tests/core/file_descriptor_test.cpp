#include "common/file_descriptor.h"

#include "cli/convert_command.h"
#include "files/config_file.h"
#include "files/palette_file.h"
#include "files/param_files.h"
#include "tests/support/fake_platform.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <sstream>

namespace nimbra {
namespace {

using testing::ScriptedDialogs;
using testing::TempFolder;

TEST(OpenInput, AFifoADeviceOrAFolderIsRefusedWithoutWaiting)
{
    TempFolder folder;
    const std::string fifo = folder / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(OpenInput(fifo).Error, IoError(NotAPlainFile));
    EXPECT_EQ(OpenInput("/dev/zero").Error, IoError(NotAPlainFile));
    EXPECT_EQ(OpenInput(folder.Path()).Error, IoError(EISDIR));

    // Every reader of the program, given the FIFO, says why it cannot read it.
    const std::string reason = "\nkeine gewöhnliche Datei, sondern eine Pipe, ein Gerät oder ein Socket";
    ScriptedDialogs dialogs;
    PaletteList palette;
    ReadPaletteFile(fifo, palette, dialogs);
    ReadConfigurationFile(fifo, palette, dialogs);
    std::vector<std::string> real, imag;
    NoPump pump;
    LoadParameterFile(fifo, real, imag, dialogs, pump);
    std::string viewer;
    LoadProgramSettings(fifo, viewer, dialogs, pump);
    EXPECT_EQ(dialogs.Messages, (std::vector<std::string>{
                                    "Fehler beim Lesen der Palette " + fifo + " !" + reason,
                                    "Fehler beim Lesen der Palette in " + fifo + " !" + reason,
                                    "Fehler beim Einlesen der Parameterdatei " + fifo + " !" + reason,
                                    "Fehler beim Einlesen der Programmkonfiguration " + fifo + " !" + reason,
                                }));
    testing::FakePlatform platform;
    std::ostringstream out, err;
    EXPECT_EQ(RunConvertCommand({"rgbcmy", fifo}, out, err, platform), 1);
    EXPECT_EQ(err.str(), "Grafikdatei " + fifo + " kann nicht geöffnet werden !" + reason + "\n");
}

}  // namespace
}  // namespace nimbra
