#include "engine/named_image.h"

#include "engine/png_output.h"
#include "engine/resumable_image.h"
#include "engine/resume_record.h"
#include "engine/tga_output.h"

#include <algorithm>
#include <cctype>
#include <optional>

namespace nimbra {

bool HasEnding(const std::string& path, const std::string& ending)
{
    if (path.size() < ending.size()) return false;
    return std::equal(ending.begin(), ending.end(), path.end() - static_cast<std::ptrdiff_t>(ending.size()),
                      [](char wanted, char found) { return wanted == std::tolower(static_cast<unsigned char>(found)); });
}

ImageFormat FormatOfName(const std::string& path)
{
    return HasEnding(path, ".png") ? ImageFormat::Png : ImageFormat::Tga;
}

std::unique_ptr<ImageOutput> OpenNamedImage(const FractalParams& params, const NamedImageRequest& request,
                                            const PaletteList& palette, UserDialogs& dialogs, Platform& platform)
{
    std::optional<OutputFile> file = OpenNamedOutput(params.Width, params.Height, request.Path, dialogs, platform);
    if (!file) return nullptr;
    const bool direct = file->WritesDirectly();
    if (direct && request.Resume) {
        dialogs.ShowMessage("--resume: " + request.Path + " ist keine gewöhnliche Datei und kann nicht fortgesetzt werden.");
        return nullptr;
    }
    const ImageFormat format = FormatOfName(request.Path);
    std::unique_ptr<ImageOutput> image;
    if (format == ImageFormat::Png) {
        image = std::make_unique<PngFile>(std::move(*file), request.Path, params.Width, params.Height,
                                          request.DotsPerInch);
    } else {
        auto tga = std::make_unique<TgaFile>(std::move(*file), request.Path, std::string(), params.Width);
        tga->WriteTgaHeader(params.Width, params.Height);
        image = std::move(tga);
    }
    if (direct) return image;
    const ResumableImage::Start start =
        request.Resume ? ResumableImage::Start::Continue : ResumableImage::Start::Afresh;
    return ResumableImage::Open(
        request.Path, ImageParameterBytes(params, request.Supersample, format, request.DotsPerInch, palette), start,
        params.Width, params.Height, std::move(image), dialogs);
}

}  // namespace nimbra
