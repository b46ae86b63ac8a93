#include "engine/png_output.h"

#include "common/error.h"

#include <png.h>

#include <cmath>
#include <csetjmp>
#include <cstring>

namespace nimbra {

// libpng's state, with what its callbacks leave for the step that failed.
struct PngFile::Library {
    ~Library() { png_destroy_write_struct(&Png, &Info); }
    png_structp Png = nullptr;
    png_infop Info = nullptr;
    OutputFile* File = nullptr;
    IoError WriteError;
    char Message[200] = {};
};

namespace {

void OnError(png_structp png, png_const_charp message)
{
    auto* library = static_cast<PngFile::Library*>(png_get_error_ptr(png));
    std::strncpy(library->Message, message, sizeof library->Message - 1);
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

void OnWrite(png_structp png, png_bytep data, png_size_t size)
{
    auto* library = static_cast<PngFile::Library*>(png_get_io_ptr(png));
    library->WriteError = library->File->Write(data, size);
    if (library->WriteError) png_error(png, "write");
}

void OnFlush(png_structp) {}

}  // namespace

std::uint32_t PixelsPerMetre(std::int32_t dotsPerInch)
{
    return static_cast<std::uint32_t>(nearbyintl(dotsPerInch / 0.0254L));
}

template <typename Step>
void PngFile::Guarded(Step step)
{
    Library& library = *library_;
    // Nothing with a destructor lives between here and libpng's jump back.
    if (setjmp(png_jmpbuf(library.Png)) != 0) {
        if (library.WriteError) throw Error::Io(library.WriteError, path_);
        throw Error::Png(library.Message);
    }
    step(library);
}

PngFile::PngFile(OutputFile file, std::string path, std::int32_t width, std::int32_t height,
                 std::int32_t dotsPerInch)
    : file_(std::move(file)),
      path_(std::move(path)),
      rgb_(static_cast<std::size_t>(width) * 3),
      library_(std::make_unique<Library>())
{
    if (width < 0 || width > 65535 || height < 0 || height > 65535) throw Error::RangeCheck();
    library_->File = &file_;
    library_->Png = png_create_write_struct(PNG_LIBPNG_VER_STRING, library_.get(), OnError, OnWarning);
    if (library_->Png != nullptr) library_->Info = png_create_info_struct(library_->Png);
    if (library_->Info == nullptr) throw Error::Png("kein Speicher");
    png_set_write_fn(library_->Png, library_.get(), OnWrite, OnFlush);
    Guarded([&](Library& png) {
        png_set_IHDR(png.Png, png.Info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                     PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        if (dotsPerInch > 0) {
            const std::uint32_t perMetre = PixelsPerMetre(dotsPerInch);
            png_set_pHYs(png.Png, png.Info, perMetre, perMetre, PNG_RESOLUTION_METER);
        }
        png_write_info(png.Png, png.Info);
    });
}

PngFile::~PngFile() = default;

void PngFile::WriteRow(const std::uint8_t* bgr)
{
    for (std::size_t i = 0; i < rgb_.size(); i += 3) {
        rgb_[i] = bgr[i + 2];
        rgb_[i + 1] = bgr[i + 1];
        rgb_[i + 2] = bgr[i];
    }
    Guarded([&](Library& png) { png_write_row(png.Png, rgb_.data()); });
}

std::string PngFile::Finish()
{
    Guarded([&](Library& png) { png_write_end(png.Png, nullptr); });
    if (const IoError error = file_.Commit()) throw Error::Io(error, path_);
    return path_;
}

}  // namespace nimbra
