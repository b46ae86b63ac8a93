#pragma once
#include "common/platform.h"
#include "common/pump_hook.h"
#include "common/user_dialogs.h"

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

// The open output file of a run. Unless Close() succeeded, it is removed when dropped, so
// that no partial image is ever left behind. A file written under a temporary name takes its
// final name only when closed.
class TgaFile {
public:
    TgaFile(int descriptor, std::string path, std::string finalPath = {});
    TgaFile(TgaFile&& other) noexcept;
    TgaFile& operator=(TgaFile&& other) noexcept;
    ~TgaFile();

    const std::string& Path() const { return path_; }
    void WriteTgaHeader(std::int32_t width, std::int32_t height);  // throws Error
    void Write(const std::uint8_t* bytes, std::size_t count);       // one write; throws Error::Io
    void Close();                                                   // throws Error::Io (file removed)
    void CloseAndRemove() noexcept;

private:
    int descriptor_ = -1;
    std::string path_;
    std::string finalPath_;
};

// "pix/nimbra000.tga" .. "pix/nimbra254.tga" below startFolder.
std::string ImageFileName(const std::string& startFolder, int number);

// Checks the free space of the volume holding the program, finds the first free name and
// creates the file. Messages go to dialogs; nothing when the file is not ready. Throws
// Error::IntegerOverflow when the size or the name search overflows. lastImagePath, which the
// viewer button opens, becomes empty on too little space and the chosen name otherwise, also
// when that file cannot be created.
std::optional<TgaFile> PrepareOutputFile(std::int32_t width, std::int32_t height, const std::string& startFolder,
                                         std::string& lastImagePath, UserDialogs& dialogs, Platform& platform,
                                         PumpHook& pump);

// The same for a file the user named: the free space of its own folder; an existing file of
// that name is replaced only when the new image is complete.
std::optional<TgaFile> CreateNamedOutputFile(std::int32_t width, std::int32_t height, const std::string& path,
                                             UserDialogs& dialogs, Platform& platform);

}  // namespace nimbra
