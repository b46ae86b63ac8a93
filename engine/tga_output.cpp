#include "engine/tga_output.h"

#include "common/error.h"
#include "common/number_text.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <limits>
#include <unistd.h>
#include <utility>

namespace nimbra {
namespace {

const char* const LowSpaceMessage = "Freie Speicherkapazität der Festplatte zu niedrig !";

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
}

// Width x Height x 3 + 24 as a signed 32-bit count: an image of 2 GiB or more is refused as an
// overflow before the free space is asked for.
std::int32_t SpaceNeeded(std::int32_t width, std::int32_t height)
{
    const std::int64_t needed = static_cast<std::int64_t>(width) * height * 3 + 24;
    if (needed > std::numeric_limits<std::int32_t>::max()) throw Error::IntegerOverflow();
    return static_cast<std::int32_t>(needed);
}

bool EnoughSpace(std::int32_t needed, const std::optional<std::uint64_t>& freeBytes)
{
    return !freeBytes || static_cast<std::uint64_t>(needed) < *freeBytes;  // unknown: go on
}

void PutLittleEndian16(std::uint8_t* target, std::int32_t value)
{
    target[0] = static_cast<std::uint8_t>(value & 0xFF);
    target[1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

}  // namespace

std::array<std::uint8_t, TgaHeaderSize> TgaHeader(std::int32_t width, std::int32_t height)
{
    if (width < 0 || width > 65535 || height < 0 || height > 65535) throw Error::RangeCheck();
    std::array<std::uint8_t, TgaHeaderSize> header{};
    header[2] = 2;  // uncompressed true colour
    PutLittleEndian16(&header[12], width);
    PutLittleEndian16(&header[14], height);
    header[16] = 24;
    header[17] = 0x20;  // first stored row is the top row
    return header;
}

TgaFile::TgaFile(int descriptor, std::string path, std::string finalPath)
    : descriptor_(descriptor), path_(std::move(path)), finalPath_(std::move(finalPath))
{
}

TgaFile::TgaFile(TgaFile&& other) noexcept
    : descriptor_(std::exchange(other.descriptor_, -1)),
      path_(std::move(other.path_)),
      finalPath_(std::move(other.finalPath_))
{
}

TgaFile& TgaFile::operator=(TgaFile&& other) noexcept
{
    if (this != &other) {
        CloseAndRemove();
        descriptor_ = std::exchange(other.descriptor_, -1);
        path_ = std::move(other.path_);
        finalPath_ = std::move(other.finalPath_);
    }
    return *this;
}

TgaFile::~TgaFile() { CloseAndRemove(); }

void TgaFile::WriteTgaHeader(std::int32_t width, std::int32_t height)
{
    const auto header = TgaHeader(width, height);
    Write(header.data(), header.size());
}

void TgaFile::Write(const std::uint8_t* bytes, std::size_t count)
{
    while (count > 0) {
        const ssize_t written = ::write(descriptor_, bytes, count);
        if (written < 0) {
            if (errno == EINTR) continue;
            throw Error::Io(errno);
        }
        if (written == 0) throw Error::Io(ENOSPC);
        bytes += written;
        count -= static_cast<std::size_t>(written);
    }
}

void TgaFile::Close()
{
    const int descriptor = std::exchange(descriptor_, -1);
    if (::close(descriptor) != 0 || (!finalPath_.empty() && std::rename(path_.c_str(), finalPath_.c_str()) != 0)) {
        const int error = errno;
        std::remove(path_.c_str());
        throw Error::Io(error);
    }
}

void TgaFile::CloseAndRemove() noexcept
{
    if (descriptor_ < 0) return;
    ::close(std::exchange(descriptor_, -1));
    std::remove(path_.c_str());
}

std::string ImageFileName(const std::string& startFolder, int number)
{
    return startFolder + "pix/nimbra" + ZeroPad(number, 3) + ".tga";
}

std::optional<TgaFile> PrepareOutputFile(std::int32_t width, std::int32_t height, const std::string& startFolder,
                                         std::string& lastImagePath, UserDialogs& dialogs, Platform& platform,
                                         PumpHook& pump)
{
    // The volume holding the program, as the help tells the user: the images go below the
    // start folder, which is that volume whenever the program is started from its own folder.
    const std::optional<std::uint64_t> freeBytes = platform.FreeBytes(FolderOf(platform.ExecutablePath()));
    if (!EnoughSpace(SpaceNeeded(width, height), freeBytes)) {
        dialogs.ShowMessage(LowSpaceMessage);
        lastImagePath.clear();
        return std::nullopt;
    }

    // The numbers 000 to 254: the counter is a byte whose step beyond 255 is an overflow.
    std::string name;
    for (int number = 0;; ++number) {
        if (number > 254) throw Error::IntegerOverflow();
        name = ImageFileName(startFolder, number);
        const int probe = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
        pump.Poll();
        if (probe < 0) break;
        if (::close(probe) != 0) dialogs.ShowMessage("I/O-Fehler beim schliessen der Datei " + name + " !");
    }

    lastImagePath = name;
    // Exclusive creation: a file that appeared since the search is never emptied.
    const int descriptor = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (descriptor < 0) {
        dialogs.ShowMessage("Kann die Bilddatei " + name + " nicht anlegen !");
        return std::nullopt;
    }
    return TgaFile(descriptor, name);
}

std::optional<TgaFile> CreateNamedOutputFile(std::int32_t width, std::int32_t height, const std::string& path,
                                             UserDialogs& dialogs, Platform& platform)
{
    if (!EnoughSpace(SpaceNeeded(width, height), platform.FreeBytes(FolderOf(path)))) {
        dialogs.ShowMessage(LowSpaceMessage);
        return std::nullopt;
    }
    const std::string partialPath = path + ".partial";
    const int descriptor = ::open(partialPath.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (descriptor < 0) {
        dialogs.ShowMessage("Kann die Bilddatei " + path + " nicht anlegen !");
        return std::nullopt;
    }
    return TgaFile(descriptor, partialPath, path);
}

}  // namespace nimbra
