#include "fuzz/reader_replay.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace nimbra::fuzzing {
namespace {

// Every input that once crashed a reader under the fuzzer is kept and read again here.
TEST(FuzzRegressions, EveryKeptInputIsReadWithoutCrashing)
{
    const struct { const char* reader; void (*replay)(const std::string&); } readers[] = {
        {"palette_file", ReplayPaletteFile},
        {"config_file", ReplayConfigFile},
        {"tga_convert", ReplayTgaConversion},
        {"param_file", ReplayParameterFile},
        {"settings_file", ReplaySettingsFile},
    };
    for (const auto& reader : readers) {
        const std::filesystem::path folder = std::filesystem::path(NIMBRA_FUZZ_REGRESSIONS) / reader.reader;
        if (!std::filesystem::is_directory(folder)) continue;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            if (!entry.is_regular_file() || entry.path().filename() == ".gitkeep") continue;
            SCOPED_TRACE(entry.path().string());
            reader.replay(entry.path().string());
        }
    }
}

}  // namespace
}  // namespace nimbra::fuzzing
