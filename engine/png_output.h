#pragma once
#include "common/output_file.h"
#include "engine/image_output.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace nimbra {

// A PNG image of 8-bit RGB written row by row through libpng, so that memory stays flat for
// any size, into a file that takes its name only when complete.
class PngFile final : public ImageOutput {
public:
    // Writes the header, with the resolution in its pHYs chunk unless dotsPerInch is 0. Throws
    // Error::RangeCheck for a side above 65535 (the limit of the program's images), Error::Io
    // or Error::Png when the header cannot be written.
    PngFile(OutputFile file, std::string path, std::int32_t width, std::int32_t height, std::int32_t dotsPerInch);
    ~PngFile() override;
    PngFile(const PngFile&) = delete;
    PngFile& operator=(const PngFile&) = delete;

    void WriteRow(const std::uint8_t* bgr) override;
    std::string Finish() override;
    void Stop() noexcept override { file_.Abandon(); }

    struct Library;  // libpng's state, which its callbacks reach

private:
    // Runs step inside libpng's error return; a failure it reports is thrown as Error.
    template <typename Step>
    void Guarded(Step step);

    OutputFile file_;
    std::string path_;
    std::vector<std::uint8_t> rgb_;
    std::unique_ptr<Library> library_;
};

// Far beyond any printer, and its pixels per metre fit the pHYs chunk's 32 bits.
constexpr std::int32_t MaxDotsPerInch = 100000;

// Pixels per metre for the pHYs chunk, rounded to the nearest: 300 dpi is 11811.
std::uint32_t PixelsPerMetre(std::int32_t dotsPerInch);

}  // namespace nimbra
