#include "common/in_place_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

namespace nimbra {
namespace {

constexpr std::size_t CopyChunkBytes = 1 << 20;

// Copies all of from (from its start) over to, from its start, and sets to's length to it.
IoError CopyOver(FileDescriptor& from, FileDescriptor& to)
{
    if (::lseek(from.Get(), 0, SEEK_SET) < 0 || ::lseek(to.Get(), 0, SEEK_SET) < 0) return IoError::Last();
    std::string chunk(CopyChunkBytes, '\0');
    off_t length = 0;
    for (;;) {
        const ReadResult read = from.Read(chunk.data(), chunk.size());
        if (read.Error) return read.Error;
        if (const IoError error = to.Write(chunk.data(), read.Bytes)) return error;
        length += static_cast<off_t>(read.Bytes);
        if (read.Bytes < chunk.size()) break;  // fewer bytes: the end
    }
    if (::ftruncate(to.Get(), length) != 0 || ::fsync(to.Get()) != 0) return IoError::Last();
    return {};
}

off_t SizeOf(const FileDescriptor& file)
{
    struct stat info {};
    return ::fstat(file.Get(), &info) == 0 ? info.st_size : -1;
}

// Whether the volume has room for the file to grow from oldSize to newSize.
bool RoomToGrow(const FileDescriptor& file, off_t oldSize, off_t newSize)
{
    if (newSize <= oldSize) return true;
    struct statvfs volume {};
    if (::fstatvfs(file.Get(), &volume) != 0) return true;  // unknown: the writes will tell
    const auto freeBytes = static_cast<unsigned long long>(volume.f_bavail) * volume.f_frsize;
    return static_cast<unsigned long long>(newSize - oldSize) < freeBytes;
}

}  // namespace

FileDescriptor OpenStagingFile()
{
    const char* variable = std::getenv("TMPDIR");
    const std::string folder = variable != nullptr && *variable != '\0' ? variable : "/tmp";
    FileDescriptor unnamed(::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600));
    if (unnamed.IsOpen() || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)) return unnamed;
    // A file system without unnamed files: a named one, its name removed at once.
    std::string name = folder + "/nimbra-staging-XXXXXX";
    FileDescriptor named(::mkostemp(name.data(), O_CLOEXEC));
    if (named.IsOpen()) ::unlink(name.c_str());
    return named;
}

IoError ReplaceInPlace(FileDescriptor& staged, const std::string& target)
{
    FileDescriptor file(::open(target.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat info {};
    if (!file.IsOpen() || ::fstat(file.Get(), &info) != 0) return IoError::Last();
    if (!S_ISREG(info.st_mode)) return IoError(NotAPlainFile);
    const off_t newSize = SizeOf(staged);
    if (newSize < 0) return IoError::Last();
    if (!RoomToGrow(file, info.st_size, newSize)) return IoError(ENOSPC);

    FileDescriptor old = OpenStagingFile();
    if (!old.IsOpen()) return IoError::Last();
    if (const IoError error = CopyOver(file, old)) return error;
    if (const IoError error = CopyOver(staged, file)) {
        CopyOver(old, file);
        return error;
    }
    return file.Close();
}

}  // namespace nimbra
