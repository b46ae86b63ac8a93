#include "fuzz/reader_replay.h"

#include "mainwindow/config_file.h"
#include "palette/palette_file.h"
#include "tests/support/scripted_dialogs.h"

namespace nimbra::fuzzing {

void ReplayPaletteFile(const std::string& path)
{
    testing::ScriptedDialogs dialogs;
    PaletteList palette;
    ReadPaletteFile(path, palette, dialogs);
    for (std::int32_t column = 0; column < 400; ++column) PaletteColourAt(palette, column, 400);
}

void ReplayConfigFile(const std::string& path)
{
    testing::ScriptedDialogs dialogs;
    PaletteList palette;
    const std::optional<ConfigRecord> record = ReadConfigurationFile(path, palette, dialogs);
    if (record) {
        ConfigFieldTexts(*record, ',');
        ConfigCaption(path);
    }
    for (std::int32_t column = 0; column < 180; ++column) PaletteColourAt(palette, column, 180);
}

}  // namespace nimbra::fuzzing
