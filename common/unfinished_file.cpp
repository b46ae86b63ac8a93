#include "common/unfinished_file.h"

#include "common/file_faults.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <ctime>
#include <optional>
#include <random>

namespace nimbra {
namespace {

constexpr char HiddenPrefix[] = ".nimbra-";
constexpr std::size_t PrefixLength = sizeof HiddenPrefix - 1;
constexpr std::size_t NameLetters = 6;
constexpr char MarkText[] = "\x7Fnimbra unfinished ";
constexpr std::size_t MarkTextLength = sizeof MarkText - 1;
static_assert(MarkTextLength + 1 + NameLetters == UnfinishedMarkSize);

// Seconds a hidden file must be older than this program's start to be taken for left behind.
constexpr time_t LeftBehindMarginSeconds = 2;

timespec LeftBehindHorizon()
{
    timespec now {};
    clock_gettime(CLOCK_REALTIME, &now);
    now.tv_sec -= LeftBehindMarginSeconds;
    return now;
}

// A writer holds its lock for as long as it lives, and a file still written is younger than
// this moment; file times come from the kernel's coarser clock and may lag a fresh reading of
// the clock, hence the margin. Either alone would do on a local disk; both keep a file safe
// where locks do not reach every machine that shares the folder.
const timespec LeftBehindBefore = LeftBehindHorizon();

bool Before(const timespec& a, const timespec& b)
{
    return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
}

std::string Mark(char kind, const std::string& letters) { return MarkText + std::string(1, kind) + letters; }

// The letters after the prefix, or empty when name is not a hidden file's.
std::string LettersOf(const char* name)
{
    if (std::strlen(name) != PrefixLength + NameLetters || std::strncmp(name, HiddenPrefix, PrefixLength) != 0)
        return {};
    return name + PrefixLength;
}

bool LeftBehind(const std::string& path, const std::string& letters)
{
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat info {};
    if (!file.IsOpen() || ::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    char mark[UnfinishedMarkSize];
    if (::pread(file.Get(), mark, sizeof mark, 0) != static_cast<ssize_t>(sizeof mark)) return false;
    return std::string(mark, sizeof mark) == Mark(DiscardableKind, letters) && Before(info.st_mtim, LeftBehindBefore) &&
           ::flock(file.Get(), LOCK_EX | LOCK_NB) == 0;
}

void RemoveLeftBehind(const std::string& folder)
{
    DIR* listing = ::opendir(folder.empty() ? "." : folder.c_str());
    if (listing == nullptr) return;
    while (const dirent* entry = ::readdir(listing)) {
        const std::string letters = LettersOf(entry->d_name);
        const std::string path = folder + entry->d_name;
        if (!letters.empty() && LeftBehind(path, letters)) ::unlink(path.c_str());
    }
    ::closedir(listing);
}

std::string RandomLetters()
{
    static constexpr char Letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<std::size_t> pick(0, sizeof Letters - 2);
    std::string letters;
    for (std::size_t i = 0; i < NameLetters; ++i) letters += Letters[pick(random)];
    return letters;
}

// Permission refused by the folder, not by a file: the message says so.
IoError CreationError(int number)
{
    return number == EACCES || number == EPERM ? IoError::InFolder(number) : IoError(number);
}

// Puts the mark for letters at the file's start and the file's position after it. Written past
// the fault seam: a test's failing write is meant for the content.
IoError PutMark(const FileDescriptor& file, const std::string& letters)
{
    const std::string mark = Mark(DiscardableKind, letters);
    const ssize_t written = ::pwrite(file.Get(), mark.data(), mark.size(), 0);
    if (written != static_cast<ssize_t>(mark.size())) return written < 0 ? IoError::Last() : IoError(ENOSPC);
    if (::lseek(file.Get(), static_cast<off_t>(mark.size()), SEEK_SET) < 0) return IoError::Last();
    return {};
}

// Where the file system can: a file without a name, locked and marked before it takes one, so
// that not even a program killed at once leaves it unmarked. Nothing where it cannot; the
// other way then tells why, should the folder refuse files altogether.
std::optional<UnfinishedFile> CreateNamedWhenMarked(const std::string& folder)
{
    FileDescriptor file(::open(folder.empty() ? "." : folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666));
    if (!file.IsOpen()) return std::nullopt;
    ::flock(file.Get(), LOCK_EX | LOCK_NB);
    const std::string self = "/proc/self/fd/" + std::to_string(file.Get());
    for (;;) {
        const std::string letters = RandomLetters();
        UnfinishedFile created;
        created.Path = folder + HiddenPrefix + letters;
        if (PutMark(file, letters)) return std::nullopt;
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, created.Path.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            created.File = std::move(file);
            return created;
        }
        if (errno != EEXIST) return std::nullopt;  // a name of another file: take another
    }
}

}  // namespace

UnfinishedFile CreateUnfinishedFile(const std::string& folder)
{
    RemoveLeftBehind(folder);
    UnfinishedFile created;
    if (const IoError refused = InjectedCreateFault()) {
        created.Error = CreationError(refused.Number());
        return created;
    }
    if (std::optional<UnfinishedFile> named = CreateNamedWhenMarked(folder)) return std::move(*named);
    for (;;) {
        const std::string letters = RandomLetters();
        created.Path = folder + HiddenPrefix + letters;
        // 0666: the user's umask decides, as for any file the user creates.
        created.File = FileDescriptor(::open(created.Path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (!created.File.IsOpen() && errno == EEXIST) continue;  // a name of another file: take another
        if (!created.File.IsOpen()) {
            created.Error = CreationError(errno);
            return created;
        }
        // Locked before it is marked, so that no clean-up ever sees it marked and unlocked. Only
        // a program killed before the mark leaves an empty file, which no clean-up can prove its own.
        ::flock(created.File.Get(), LOCK_EX | LOCK_NB);
        created.Error = PutMark(created.File, letters);
        if (created.Error) {
            ::unlink(created.Path.c_str());
            created.File.Close();
        }
        return created;
    }
}

}  // namespace nimbra
