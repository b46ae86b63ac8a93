#pragma once
#include "common/output_file.h"
#include "common/platform.h"
#include "common/pump_hook.h"
#include "common/user_dialogs.h"
#include "engine/image_output.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace nimbra {

constexpr std::size_t TgaHeaderSize = 18;

// The 18 header bytes of an uncompressed 24-bit image stored top row first. Throws
// Error::RangeCheck when a size does not fit the header's 16-bit fields.
std::array<std::uint8_t, TgaHeaderSize> TgaHeader(std::int32_t width, std::int32_t height);

// The image file of a run, written to a hidden file that takes its name only when complete
// (Finish). Dropped unfinished, it leaves nothing behind and an older file of that name keeps
// its content.
class TgaFile final : public ImageOutput {
public:
    // startFolder empty: the file takes path as its name; otherwise the first free number.
    TgaFile(OutputFile file, std::string path, std::string startFolder, std::int32_t width);

    // The name messages show: the one chosen for a numbered image, or the one given.
    const std::string& Path() const { return path_; }
    void WriteTgaHeader(std::int32_t width, std::int32_t height);  // throws Error
    void Write(const std::uint8_t* bytes, std::size_t count);       // throws Error::Io
    void WriteRow(const std::uint8_t* bgr) override { Write(bgr, static_cast<std::size_t>(width_) * 3); }
    bool ReadsRowsBack() const override { return !file_.WritesDirectly(); }
    void ReadRows(std::int32_t first, std::int32_t count, std::uint8_t* bgr) override;  // throws Error::Io
    // Puts the file in place and returns its name: the given one, or for a numbered image the
    // first number free at this moment, which is the chosen one unless another program took
    // it meanwhile. Throws Error::Io, or Error::AllNamesTaken when every number is taken.
    std::string Finish() override;
    void Stop() noexcept override { Abandon(); }
    void Abandon() noexcept { file_.Abandon(); }

private:
    OutputFile file_;
    std::string path_;
    std::string startFolder_;  // empty: the file has a name of its own
    std::int32_t width_;
};

// "pix/nimbra000.tga" .. "pix/nimbra254.tga" below startFolder.
std::string ImageFileName(const std::string& startFolder, int number);

// Finds the first free name, checks the free space of the volume holding the program and
// creates the hidden file in "pix". Messages go to dialogs; nothing when the file is not ready.
// Throws Error::IntegerOverflow when the size overflows, Error::AllNamesTaken when every
// number is taken. lastImagePath becomes empty on too little space and the chosen name
// otherwise, also when the file cannot be created.
std::optional<TgaFile> PrepareOutputFile(std::int32_t width, std::int32_t height, const std::string& startFolder,
                                         std::string& lastImagePath, UserDialogs& dialogs, Platform& platform,
                                         PumpHook& pump);

// The file of an image of width x height that the user named, checked against the free space
// of its own folder. A symbolic link is followed; an existing file is replaced only when the
// new image is complete; a FIFO or a device is written into directly, without a look at the
// free space; a folder is refused. Messages go to dialogs; nothing when the file is not ready.
std::optional<OutputFile> OpenNamedOutput(std::int32_t width, std::int32_t height, const std::string& path,
                                          UserDialogs& dialogs, Platform& platform);

// The same as a TGA file.
std::optional<TgaFile> CreateNamedOutputFile(std::int32_t width, std::int32_t height, const std::string& path,
                                             UserDialogs& dialogs, Platform& platform);

}  // namespace nimbra
