#pragma once
#include "common/platform.h"
#include "common/user_dialogs.h"
#include "engine/fractal_params.h"
#include "engine/image_output.h"
#include "palette/palette_list.h"

#include <cstdint>
#include <memory>
#include <string>

namespace nimbra {

// Whether path ends in ending (lower case), in any case: "X.PNG" ends in ".png".
bool HasEnding(const std::string& path, const std::string& ending);

// ".png" at the end of the name asks for PNG; any other name gets TGA.
ImageFormat FormatOfName(const std::string& path);

// What the renderer's -o and its companions ask of the image file.
struct NamedImageRequest {
    std::string Path;
    std::int32_t DotsPerInch = 0;  // written into a PNG; 0: no resolution
    int Supersample = 1;
    bool Resume = false;  // continue an interrupted render of the same parameters
};

// The image file for params (at the size of the image) at request.Path, checked before
// anything is computed. A plain file is written through its rows beside it, so that an
// interrupted render can be continued (resumable_image.h); a FIFO or a device is written into
// directly. Messages go to dialogs; nothing when the file is refused.
std::unique_ptr<ImageOutput> OpenNamedImage(const FractalParams& params, const NamedImageRequest& request,
                                            const PaletteList& palette, UserDialogs& dialogs, Platform& platform);

}  // namespace nimbra
