#include "fuzz/reader_replay.h"

#include "common/pump_hook.h"
#include "convert/convert_file.h"
#include "files/config_file.h"
#include "files/palette_file.h"
#include "files/param_files.h"
#include "palette/palette_editor.h"
#include "tests/support/fake_platform.h"
#include "tests/support/scripted_dialogs.h"

#include <cstdio>
#include <cstdlib>

namespace nimbra::fuzzing {

void ReplayPaletteFile(const std::string& path)
{
    testing::ScriptedDialogs dialogs;
    PaletteList palette;
    ReadPaletteFile(path, palette, dialogs);
    for (std::int32_t column = 0; column < 400; ++column) PaletteColourAt(palette, column, 400);
    PlanPaletteMarkers(palette);
}

void ReplayConfigFile(const std::string& path)
{
    testing::ScriptedDialogs dialogs;
    PaletteList palette;
    const std::optional<ConfigRecord> record = ReadConfigurationFile(path, palette, dialogs).Record;
    if (record) {
        ConfigFieldTexts(*record, ',');
        ConfigCaption(path);
    }
    for (std::int32_t column = 0; column < 180; ++column) PaletteColourAt(palette, column, 180);
}

namespace {

// The written copy lies beside the input, which belongs to this process alone.
std::string CopyPath(const std::string& path) { return path + ".written"; }

}  // namespace

void ReplayParameterFile(const std::string& path)
{
    testing::ScriptedDialogs dialogs;
    NoPump pump;
    std::vector<std::string> realItems;
    std::vector<std::string> imagItems;
    LoadParameterFile(path, realItems, imagItems, dialogs, pump);
    const std::string copy = CopyPath(path);
    if (!SaveParameterFile(copy, realItems, imagItems, dialogs)) std::abort();
    std::vector<std::string> realAgain;
    std::vector<std::string> imagAgain;
    LoadParameterFile(copy, realAgain, imagAgain, dialogs, pump);
    std::remove(copy.c_str());
    if (realAgain != realItems || imagAgain != imagItems) std::abort();
}

void ReplaySettingsFile(const std::string& path)
{
    testing::ScriptedDialogs dialogs;
    NoPump pump;
    std::string viewerProgram;
    LoadProgramSettings(path, viewerProgram, dialogs, pump);
    const std::string copy = CopyPath(path);
    if (!SaveProgramSettings(copy, viewerProgram, dialogs)) std::abort();
    std::string viewerAgain;
    LoadProgramSettings(copy, viewerAgain, dialogs, pump);
    std::remove(copy.c_str());
    if (viewerAgain != viewerProgram) std::abort();
}

void ReplayTgaConversion(const std::string& path)
{
    NoConversionProgress progress;
    testing::ScriptedDialogs dialogs;
    testing::FakePlatform platform;
    NoPump pump;
    ConversionContext context{progress, dialogs, platform, pump, path, Rgb{200, 100, 50}, false};
    for (const ConversionKind kind : {ConversionKind::RgbCmy, ConversionKind::ToGrad, ConversionKind::GradRgb,
                                      ConversionKind::GradCmy})
        ConvertFile(kind, context);
    std::remove(ConvertedPath(path).c_str());
}

}  // namespace nimbra::fuzzing
