#include "common/file_descriptor.h"

#include "common/file_faults.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace nimbra {

FileDescriptor::FileDescriptor(FileDescriptor&& other) noexcept : descriptor_(std::exchange(other.descriptor_, -1)) {}

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept
{
    if (this != &other) {
        Close();
        descriptor_ = std::exchange(other.descriptor_, -1);
    }
    return *this;
}

FileDescriptor::~FileDescriptor() { Close(); }

ReadResult FileDescriptor::Read(void* target, std::size_t size) { return ReadAll(target, size, -1); }

ReadResult FileDescriptor::ReadAt(void* target, std::size_t size, std::uint64_t offset)
{
    return ReadAll(target, size, static_cast<std::int64_t>(offset));
}

ReadResult FileDescriptor::ReadAll(void* target, std::size_t size, std::int64_t offset)
{
    ReadResult result;
    auto* next = static_cast<char*>(target);
    while (result.Bytes < size) {
        const ssize_t got =
            offset < 0 ? ::read(descriptor_, next + result.Bytes, size - result.Bytes)
                       : ::pread(descriptor_, next + result.Bytes, size - result.Bytes,
                                 static_cast<off_t>(offset + static_cast<std::int64_t>(result.Bytes)));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            result.Error = IoError::Last();
            break;
        }
        if (got == 0) break;
        result.Bytes += static_cast<std::size_t>(got);
    }
    return result;
}

IoError FileDescriptor::Write(const void* data, std::size_t size) { return WriteAll(data, size, -1); }

IoError FileDescriptor::WriteAt(const void* data, std::size_t size, std::uint64_t offset)
{
    return WriteAll(data, size, static_cast<std::int64_t>(offset));
}

IoError FileDescriptor::WriteAll(const void* data, std::size_t size, std::int64_t offset)
{
    if (const IoError injected = InjectedWriteFault()) return injected;
    const auto* next = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = offset < 0 ? ::write(descriptor_, next, size)
                                           : ::pwrite(descriptor_, next, size, static_cast<off_t>(offset));
        if (written < 0 && errno == EINTR) continue;
        if (written < 0) return IoError::Last();
        if (written == 0) return IoError(ENOSPC);
        next += written;
        size -= static_cast<std::size_t>(written);
        if (offset >= 0) offset += written;
    }
    return {};
}

IoError FileDescriptor::Close()
{
    if (descriptor_ < 0) return {};
    // After close the number is free even when it reports EINTR: retrying could close another file.
    const bool closed = ::close(std::exchange(descriptor_, -1)) == 0;
    return closed ? IoError() : IoError::Last();
}

IoError FileDescriptor::MakeBlocking()
{
    const int flags = ::fcntl(descriptor_, F_GETFL);
    if (flags < 0 || ::fcntl(descriptor_, F_SETFL, flags & ~O_NONBLOCK) != 0) return IoError::Last();
    return {};
}

InputFile OpenInput(const std::string& path, InputAccess access)
{
    InputFile input;
    const int mode = access == InputAccess::Read ? O_RDONLY : O_RDWR;
    // Without O_NONBLOCK, opening a FIFO waits for a writer, for ever if none comes.
    input.File = FileDescriptor(::open(path.c_str(), mode | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat info {};
    if (!input.File.IsOpen() || ::fstat(input.File.Get(), &info) != 0) {
        input.Error = IoError::Last();
    } else if (S_ISDIR(info.st_mode)) {
        input.Error = IoError(EISDIR);
    } else if (!S_ISREG(info.st_mode)) {
        input.Error = IoError(NotAPlainFile);
    } else {
        input.Error = input.File.MakeBlocking();
    }
    if (input.Error) {
        input.File.Close();
        return input;
    }
    input.SizeBytes = static_cast<std::uint64_t>(info.st_size);
    return input;
}

FileContent ReadWholeFile(const std::string& path)
{
    FileContent content;
    InputFile input = OpenInput(path);
    content.Error = input.Error;
    if (input.Error) return content;
    content.Opened = true;
    content.Bytes.reserve(input.SizeBytes);
    char chunk[65536];
    for (;;) {
        const ReadResult read = input.File.Read(chunk, sizeof chunk);
        content.Bytes.append(chunk, read.Bytes);
        content.Error = read.Error;
        if (read.Error || read.Bytes < sizeof chunk) break;  // fewer bytes: the end
    }
    if (const IoError closing = input.File.Close(); !content.Error) content.Error = closing;
    return content;
}

}  // namespace nimbra
