#pragma once
#include <cerrno>
#include <cstdint>
#include <string>

namespace nimbra {

// The outcome of a file operation: the system's error number (errno), or none. It means the
// same everywhere: a read that returns fewer bytes than asked has met the end of the file, a
// write that moves nothing is a full disk, an interrupted call has been repeated.
class IoError {
public:
    IoError() = default;
    explicit IoError(int number) : number_(number) {}
    static IoError Last() { return IoError(errno); }
    // The folder refused a new file: the reason says so, as the file itself may be writable.
    static IoError InFolder(int number)
    {
        IoError error(number);
        error.inFolder_ = true;
        return error;
    }

    explicit operator bool() const { return number_ != 0; }
    int Number() const { return number_; }
    bool IsInFolder() const { return inFolder_; }
    bool operator==(const IoError&) const = default;

private:
    int number_ = 0;
    bool inFolder_ = false;
};

// Where a plain file is needed, a FIFO, a device or a socket is refused with this number: it
// could block, or never end.
constexpr int NotAPlainFile = ESPIPE;
// A file that ends before its format's fixed first bytes is reported with this number: EIO
// would blame the disk.
constexpr int FileTooShort = ENODATA;

// The reason in German for a message's second line: "kein Platz mehr auf dem Datenträger".
std::string IoReason(IoError error);

// The second line of a low-space refusal: "/u/pix/nimbra003.tga braucht 921624 Bytes, auf dem
// Datenträger von /opt/nimbra/bin/ sind 1000 frei".
std::string LowSpaceReason(const std::string& path, std::uint64_t neededBytes, const std::string& volumeFolder,
                           std::uint64_t freeBytes);

// text, and the reason on a second line when there is an error.
std::string WithReason(const std::string& text, IoError error);

}  // namespace nimbra
