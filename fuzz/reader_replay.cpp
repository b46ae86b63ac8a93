#include "fuzz/reader_replay.h"

#include "common/pump_hook.h"
#include "convert/convert_file.h"
#include "mainwindow/config_file.h"
#include "palette/palette_file.h"
#include "tests/support/fake_platform.h"
#include "tests/support/scripted_dialogs.h"

#include <cstdio>

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

void ReplayTgaConversion(const std::string& path)
{
    NoConversionProgress progress;
    testing::ScriptedDialogs dialogs;
    testing::FakePlatform platform;
    NoPump pump;
    ConversionContext context{progress, dialogs, platform, pump, path, Rgb{200, 100, 50}, false};
    for (const ConversionKind kind : {ConversionKind::ckRgbCmy, ConversionKind::ckToGrad, ConversionKind::ckGradRgb,
                                      ConversionKind::ckGradCmy})
        ConvertFile(kind, context);
    std::remove(ConvertedPath(path).c_str());
}

}  // namespace nimbra::fuzzing
