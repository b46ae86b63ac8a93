#include "common/output_file.h"

#include "common/file_faults.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <ctime>
#include <random>
#include <utility>

namespace nimbra {
namespace {

constexpr char HiddenPrefix[] = ".nimbra-";
constexpr std::size_t HiddenNameLength = sizeof HiddenPrefix - 1 + 6;  // far below any name limit
constexpr int MaxLinksFollowed = 40;                                      // as the kernel does

// Seconds a hidden file must be older than this program's start to be taken for left behind.
constexpr time_t LeftBehindMarginSeconds = 2;

timespec LeftBehindHorizon()
{
    timespec now {};
    clock_gettime(CLOCK_REALTIME, &now);
    now.tv_sec -= LeftBehindMarginSeconds;
    return now;
}

// A hidden file last written before this moment, and no longer locked, was left by a killed
// program. One written later could belong to a program that has created it but not yet locked
// it: file times come from the kernel's coarser clock and may lag a fresh reading of the clock,
// so the margin keeps such a file safe; a later program removes it if it was left behind.
const timespec LeftBehindBefore = LeftBehindHorizon();

bool Before(const timespec& a, const timespec& b)
{
    return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
}

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

struct Target {
    std::string Path;
    bool Exists = false;
    struct stat Info {};
    IoError Error;
};

// The file a path names, symbolic links followed; a link to nothing names its destination.
Target FollowLinks(const std::string& path)
{
    Target target;
    target.Path = path;
    for (int hop = 0; hop < MaxLinksFollowed; ++hop) {
        if (::lstat(target.Path.c_str(), &target.Info) != 0) {
            if (errno != ENOENT) target.Error = IoError::Last();
            return target;
        }
        if (!S_ISLNK(target.Info.st_mode)) {
            target.Exists = true;
            return target;
        }
        char destination[PATH_MAX];
        const ssize_t length = ::readlink(target.Path.c_str(), destination, sizeof destination);
        if (length < 0 || static_cast<std::size_t>(length) == sizeof destination) {
            target.Error = length < 0 ? IoError::Last() : IoError(ENAMETOOLONG);
            return target;
        }
        const std::string next(destination, static_cast<std::size_t>(length));
        target.Path = next.front() == '/' ? next : FolderOf(target.Path) + next;
    }
    target.Error = IoError(ELOOP);
    return target;
}

void RemoveLeftHiddenFiles(const std::string& folder)
{
    DIR* listing = ::opendir(folder.empty() ? "." : folder.c_str());
    if (listing == nullptr) return;
    while (const dirent* entry = ::readdir(listing)) {
        if (std::strlen(entry->d_name) != HiddenNameLength ||
            std::strncmp(entry->d_name, HiddenPrefix, sizeof HiddenPrefix - 1) != 0)
            continue;
        const std::string path = folder + entry->d_name;
        const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat info {};
        if (!file.IsOpen() || ::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
        // Its writer holds the lock for as long as it lives.
        if (Before(info.st_mtim, LeftBehindBefore) && ::flock(file.Get(), LOCK_EX | LOCK_NB) == 0) ::unlink(path.c_str());
    }
    ::closedir(listing);
}

std::string RandomLetters(std::size_t count)
{
    static constexpr char Letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<std::size_t> pick(0, sizeof Letters - 2);
    std::string letters;
    for (std::size_t i = 0; i < count; ++i) letters += Letters[pick(random)];
    return letters;
}

}  // namespace

OutputFile OutputFile::InFolder(const std::string& folder)
{
    RemoveLeftHiddenFiles(folder);
    OutputFile output;
    do {
        const std::string path = folder + HiddenPrefix + RandomLetters(HiddenNameLength - (sizeof HiddenPrefix - 1));
        // 0666: the user's umask decides, as for any file the user creates.
        const int descriptor = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor >= 0) {
            output.file_ = FileDescriptor(descriptor);
            output.hiddenPath_ = path;
            ::flock(descriptor, LOCK_EX | LOCK_NB);
            return output;
        }
        output.openError_ = IoError::Last();
    } while (output.openError_.Number() == EEXIST);  // a name of another file: take another
    return output;
}

OutputFile OutputFile::Replacing(const std::string& path)
{
    // Asked of the file the path leads to, as /dev/stdout leads through /proc to a pipe.
    struct stat reached {};
    if (::stat(path.c_str(), &reached) == 0 &&
        (S_ISFIFO(reached.st_mode) || S_ISCHR(reached.st_mode) || S_ISSOCK(reached.st_mode))) {
        OutputFile direct;
        direct.direct_ = true;
        // Without O_NONBLOCK, opening a FIFO waits for a reader, for ever if none comes.
        direct.file_ = FileDescriptor(::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
        direct.openError_ = direct.file_.IsOpen() ? direct.file_.MakeBlocking() : IoError::Last();
        if (direct.openError_) direct.file_.Close();
        return direct;
    }

    const Target target = FollowLinks(path);
    OutputFile refused;
    if (target.Error) refused.openError_ = target.Error;
    else if (target.Exists && S_ISDIR(target.Info.st_mode)) refused.openError_ = IoError(EISDIR);
    else if (target.Exists && !S_ISREG(target.Info.st_mode)) refused.openError_ = IoError(NotAPlainFile);
    else if (target.Exists && ::access(target.Path.c_str(), W_OK) != 0) refused.openError_ = IoError::Last();
    if (refused.openError_) return refused;

    OutputFile output = InFolder(FolderOf(target.Path));
    output.targetPath_ = target.Path;
    if (output.IsOpen() && target.Exists) ::fchmod(output.file_.Get(), target.Info.st_mode & 07777);
    return output;
}

OutputFile::OutputFile(OutputFile&& other) noexcept
    : file_(std::move(other.file_)),
      openError_(other.openError_),
      writeError_(other.writeError_),
      hiddenPath_(std::exchange(other.hiddenPath_, {})),
      targetPath_(std::move(other.targetPath_)),
      direct_(other.direct_)
{
}

OutputFile& OutputFile::operator=(OutputFile&& other) noexcept
{
    if (this != &other) {
        Abandon();
        file_ = std::move(other.file_);
        openError_ = other.openError_;
        writeError_ = other.writeError_;
        hiddenPath_ = std::exchange(other.hiddenPath_, {});
        targetPath_ = std::move(other.targetPath_);
        direct_ = other.direct_;
    }
    return *this;
}

OutputFile::~OutputFile() { Abandon(); }

IoError OutputFile::Write(const void* data, std::size_t size)
{
    if (!IsOpen()) return openError_ ? openError_ : IoError(EBADF);
    if (!writeError_) writeError_ = file_.Write(data, size);
    return writeError_;
}

IoError OutputFile::Flush()
{
    if (writeError_) return writeError_;
    if (::fsync(file_.Get()) != 0) return IoError::Last();
    return InjectedCommitFault();
}

IoError OutputFile::Commit()
{
    if (!IsOpen()) return openError_ ? openError_ : IoError(EBADF);
    if (direct_) {
        const IoError closing = file_.Close();
        return writeError_ ? writeError_ : closing;
    }
    IoError error = Flush();
    // Renamed while still locked and open, so that no other program takes it for left behind.
    if (!error && ::rename(hiddenPath_.c_str(), targetPath_.c_str()) != 0) error = IoError::Last();
    if (error) {
        Abandon();
        return error;
    }
    hiddenPath_.clear();
    // After fsync and rename the content is in place; closing has nothing left to lose.
    file_.Close();
    return {};
}

OutputFile::FreeName OutputFile::CommitToFreeName(const std::vector<std::string>& names)
{
    FreeName result;
    result.Error = IsOpen() ? Flush() : (openError_ ? openError_ : IoError(EBADF));
    while (!result.Error) {
        if (result.Index == names.size()) {
            result.Error = IoError(EEXIST);
        } else if (::link(hiddenPath_.c_str(), names[result.Index].c_str()) == 0) {
            Abandon();  // the content stays under its new name
            return result;
        } else if (errno == EEXIST) {
            ++result.Index;
        } else {
            result.Error = IoError::Last();
        }
    }
    Abandon();
    return result;
}

void OutputFile::Abandon() noexcept
{
    if (!hiddenPath_.empty()) ::unlink(std::exchange(hiddenPath_, {}).c_str());
    file_.Close();
}

IoError WriteWholeFile(const std::string& path, const std::string& content)
{
    OutputFile file = OutputFile::Replacing(path);
    if (const IoError error = file.Write(content.data(), content.size())) return error;
    return file.Commit();
}

}  // namespace nimbra
