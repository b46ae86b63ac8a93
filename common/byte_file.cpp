#include "common/byte_file.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace nimbra {

ByteReader::ByteReader(const std::string& path) : file_(std::fopen(path.c_str(), "rb")) {}

ByteReader::~ByteReader()
{
    if (file_ != nullptr) std::fclose(file_);
}

std::size_t ByteReader::Read(void* target, std::size_t size)
{
    if (file_ == nullptr) {
        failed_ = true;
        return 0;
    }
    const std::size_t got = std::fread(target, 1, size, file_);
    if (got < size && std::ferror(file_)) failed_ = true;
    return got;
}

bool ByteReader::AtEnd()
{
    if (file_ == nullptr) return false;
    const int next = std::fgetc(file_);
    if (next == EOF) {
        if (std::ferror(file_)) failed_ = true;
        return !failed_;
    }
    std::ungetc(next, file_);
    return false;
}

bool ByteReader::Close()
{
    if (file_ == nullptr) return false;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    return closed;
}

ByteWriter::ByteWriter(const std::string& path)
    : descriptor_(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666))
{
}

ByteWriter::~ByteWriter()
{
    if (descriptor_ >= 0) ::close(descriptor_);
}

bool ByteWriter::Write(const void* data, std::size_t size)
{
    if (descriptor_ < 0) return false;
    const char* next = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = ::write(descriptor_, next, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        next += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool ByteWriter::Close()
{
    if (descriptor_ < 0) return false;
    const int descriptor = descriptor_;
    descriptor_ = -1;
    // After close the descriptor is gone even when it reports EINTR; retrying could close another.
    return ::close(descriptor) == 0;
}

}  // namespace nimbra
