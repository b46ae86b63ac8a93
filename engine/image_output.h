#pragma once
#include "common/error.h"

#include <cerrno>
#include <cstdint>
#include <string>

namespace nimbra {

enum class ImageFormat : std::uint8_t { Tga = 0, Png = 1 };

// The image file of a file run: rows of the image's width in pixels of three bytes (blue,
// green, red), top row first. Nothing appears under the file's name before Finish.
class ImageOutput {
public:
    virtual ~ImageOutput() = default;

    // Rows an earlier, interrupted run left safely on disk; the run goes on after them.
    virtual std::int32_t RowsDone() const { return 0; }
    virtual void WriteRow(const std::uint8_t* bgr) = 0;  // throws Error
    // Whether the rows written can be read back while the file is unfinished.
    virtual bool ReadsRowsBack() const { return false; }
    // count rows from first on, as written; throws Error, always where ReadsRowsBack is false.
    virtual void ReadRows(std::int32_t, std::int32_t, std::uint8_t*) { throw Error::Io(IoError(ESPIPE), {}); }
    // Puts the file in place and returns its name. Throws Error.
    virtual std::string Finish() = 0;
    // The run was stopped: whatever cannot be continued is removed.
    virtual void Stop() noexcept = 0;
};

}  // namespace nimbra
