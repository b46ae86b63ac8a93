#include "tests/support/run_fixture.h"

#include <filesystem>

namespace nimbra::testing {

void RecordingPreview::ClearToWhite()
{
    Log.push_back("clear");
    Pixels.clear();
}

void RecordingPreview::SetPixel(std::int32_t, std::int32_t, Rgb colour) { Pixels.push_back(colour); }

RunFixture::RunFixture() : Context(Headless.ContextWith(Dialogs, Platform, Pump, Preview, Display))
{
    Context.StartFolder = Folder.Path();
    std::filesystem::create_directory(Folder / "pix");
}

}  // namespace nimbra::testing
