#pragma once
#include <cstddef>
#include <cstdio>
#include <string>

namespace nimbra {

// A file read as a stream of bytes. Every failure (the file cannot be opened or read) is
// remembered, so the caller can tell "the file ended" from "the file could not be read".
class ByteReader {
public:
    explicit ByteReader(const std::string& path);  // opens read-only
    ~ByteReader();
    ByteReader(const ByteReader&) = delete;
    ByteReader& operator=(const ByteReader&) = delete;

    bool IsOpen() const { return file_ != nullptr; }
    // Reads up to size bytes; fewer only at the end of the file or on a failure. Nothing when
    // the file is not open.
    std::size_t Read(void* target, std::size_t size);
    // The end has been reached and nothing failed: there is no byte left to read.
    bool AtEnd();
    bool Failed() const { return failed_; }
    // False when the file was never opened or closing failed.
    bool Close();

private:
    std::FILE* file_ = nullptr;
    bool failed_ = false;
};

// A file created (replacing any file of that name) and written as a stream of bytes. Writes are
// not buffered, so each write that fails is reported by the call that made it.
class ByteWriter {
public:
    explicit ByteWriter(const std::string& path);
    ~ByteWriter();
    ByteWriter(const ByteWriter&) = delete;
    ByteWriter& operator=(const ByteWriter&) = delete;

    bool IsOpen() const { return descriptor_ >= 0; }
    // True when every byte was written; false when the file is not open or the system refused.
    bool Write(const void* data, std::size_t size);
    // False when the file was never opened or closing failed.
    bool Close();

private:
    int descriptor_ = -1;
};

}  // namespace nimbra
