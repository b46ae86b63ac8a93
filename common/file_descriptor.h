#pragma once
#include "common/io_error.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace nimbra {

struct ReadResult {
    std::size_t Bytes = 0;  // read before the end of the file or the error
    IoError Error;
};

// An open file descriptor, closed when dropped.
class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int descriptor) : descriptor_(descriptor) {}
    FileDescriptor(FileDescriptor&& other) noexcept;
    FileDescriptor& operator=(FileDescriptor&& other) noexcept;
    ~FileDescriptor();

    bool IsOpen() const { return descriptor_ >= 0; }
    int Get() const { return descriptor_; }

    // Reads until size bytes or the end of the file, repeating short and interrupted reads.
    ReadResult Read(void* target, std::size_t size);
    // The same at offset, leaving the file position where it is.
    ReadResult ReadAt(void* target, std::size_t size, std::uint64_t offset);
    // Writes every byte, repeating short and interrupted writes.
    IoError Write(const void* data, std::size_t size);
    // The same at offset, leaving the file position where it is.
    IoError WriteAt(const void* data, std::size_t size, std::uint64_t offset);
    // Clears O_NONBLOCK, with which a file is opened so that opening cannot wait.
    IoError MakeBlocking();
    // The descriptor is gone afterwards also when closing reports an error.
    IoError Close();

private:
    IoError WriteAll(const void* data, std::size_t size, std::int64_t offset);  // offset < 0: at the position
    ReadResult ReadAll(void* target, std::size_t size, std::int64_t offset);    // the same

    int descriptor_ = -1;
};

struct InputFile {
    FileDescriptor File;  // open when Error is none
    IoError Error;
    std::uint64_t SizeBytes = 0;  // when opened
};

enum class InputAccess { Read, ReadWrite };

// Opens an existing file without waiting for a writer or a device: a folder is refused with
// EISDIR, a FIFO, a device or a socket with NotAPlainFile.
InputFile OpenInput(const std::string& path, InputAccess access = InputAccess::Read);

struct FileContent {
    std::string Bytes;  // all of the file, or what was read before the error
    IoError Error;      // of opening, reading or closing
    bool Opened = false;
};

FileContent ReadWholeFile(const std::string& path);

}  // namespace nimbra
