#include "engine/tga_output.h"

#include "common/error.h"
#include "common/number_text.h"

#include <sys/stat.h>

#include <cerrno>
#include <limits>
#include <utility>
#include <vector>

namespace nimbra {
namespace {

// The name counter is a byte whose step beyond 255 is an overflow: 000 to 254 can be used.
constexpr int MaxImageNumber = 254;

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

// Whether the volume holding volumeFolder has room for the image; a message naming both when not.
bool EnoughSpace(std::int32_t needed, const std::string& imagePath, const std::string& volumeFolder,
                 UserDialogs& dialogs, Platform& platform)
{
    const std::optional<std::uint64_t> freeBytes = platform.FreeBytes(volumeFolder);
    if (!freeBytes || static_cast<std::uint64_t>(needed) < *freeBytes) return true;  // unknown: go on
    dialogs.ShowWarning("Freie Speicherkapazität der Festplatte zu niedrig !\n" +
                        LowSpaceReason(imagePath, static_cast<std::uint64_t>(needed), volumeFolder, *freeBytes));
    return false;
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

TgaFile::TgaFile(OutputFile file, std::string path, std::string startFolder, std::int32_t width)
    : file_(std::move(file)), path_(std::move(path)), startFolder_(std::move(startFolder)), width_(width)
{
}

void TgaFile::WriteTgaHeader(std::int32_t width, std::int32_t height)
{
    const auto header = TgaHeader(width, height);
    Write(header.data(), header.size());
}

void TgaFile::Write(const std::uint8_t* bytes, std::size_t count)
{
    if (const IoError error = file_.Write(bytes, count)) throw Error::Io(error, path_);
}

void TgaFile::ReadRows(std::int32_t first, std::int32_t count, std::uint8_t* bgr)
{
    const std::size_t rowBytes = static_cast<std::size_t>(width_) * 3;
    if (const IoError error = file_.ReadBack(TgaHeaderSize + static_cast<std::uint64_t>(first) * rowBytes, bgr,
                                             static_cast<std::size_t>(count) * rowBytes))
        throw Error::Io(error, path_);
}

std::string TgaFile::Finish()
{
    if (startFolder_.empty()) {
        if (const IoError error = file_.Commit()) throw Error::Io(error, path_);
        return path_;
    }
    std::vector<std::string> names;
    for (int number = 0; number <= MaxImageNumber; ++number) names.push_back(ImageFileName(startFolder_, number));
    const FreeName taken = file_.CommitToFreeName(names);
    if (taken.Error.Number() == EEXIST) throw Error::AllNamesTaken(names.front(), names.back());
    if (taken.Error) throw Error::Io(taken.Error, path_);
    return names[taken.Index];
}

std::string ImageFileName(const std::string& startFolder, int number)
{
    return startFolder + "pix/nimbra" + ZeroPad(number, 3) + ".tga";
}

std::optional<TgaFile> PrepareOutputFile(std::int32_t width, std::int32_t height, const std::string& startFolder,
                                         std::string& lastImagePath, UserDialogs& dialogs, Platform& platform,
                                         PumpHook& pump)
{
    const std::int32_t needed = SpaceNeeded(width, height);
    // Any entry counts as taken, also one that cannot be read: the finished file takes only a
    // name under which there is no entry of any kind.
    std::string name;
    for (int number = 0;; ++number) {
        if (number > MaxImageNumber)
            throw Error::AllNamesTaken(ImageFileName(startFolder, 0), ImageFileName(startFolder, MaxImageNumber));
        name = ImageFileName(startFolder, number);
        struct stat info {};
        const bool taken = ::lstat(name.c_str(), &info) == 0;
        pump.Poll();
        if (!taken) break;
    }
    // The volume holding the program, as the help tells the user: the images go below the
    // start folder, which is that volume whenever the program is started from its own folder.
    if (!EnoughSpace(needed, name, FolderOf(platform.ExecutablePath()), dialogs, platform)) {
        lastImagePath.clear();
        return std::nullopt;
    }

    lastImagePath = name;
    OutputFile file = OutputFile::InFolder(startFolder + "pix/");
    if (!file.IsOpen()) {
        dialogs.ShowWarning(WithReason("Kann die Bilddatei " + name + " nicht anlegen !", file.OpenError()));
        return std::nullopt;
    }
    return TgaFile(std::move(file), name, startFolder, width);
}

std::optional<OutputFile> OpenNamedOutput(std::int32_t width, std::int32_t height, const std::string& path,
                                          UserDialogs& dialogs, Platform& platform)
{
    const std::int32_t needed = SpaceNeeded(width, height);
    OutputFile file = OutputFile::Replacing(path);
    if (!file.IsOpen()) {
        dialogs.ShowWarning(WithReason("Kann die Bilddatei " + path + " nicht anlegen !", file.OpenError()));
        return std::nullopt;
    }
    if (!file.WritesDirectly() && !EnoughSpace(needed, path, FolderOf(path), dialogs, platform)) return std::nullopt;
    return file;
}

std::optional<TgaFile> CreateNamedOutputFile(std::int32_t width, std::int32_t height, const std::string& path,
                                             UserDialogs& dialogs, Platform& platform)
{
    std::optional<OutputFile> file = OpenNamedOutput(width, height, path, dialogs, platform);
    if (!file) return std::nullopt;
    return TgaFile(std::move(*file), path, {}, width);
}

}  // namespace nimbra
