#include "common/output_file.h"

#include "common/file_faults.h"
#include "common/in_place_file.h"
#include "common/unfinished_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <utility>

namespace nimbra {
namespace {

constexpr int MaxLinksFollowed = 40;  // as the kernel does
// Bytes gathered into one write: the kernel takes a large write for about the cost of a small
// one, and keeps it in fewer, larger pages.
constexpr std::size_t WriteChunk = std::size_t{1} << 20;

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

}  // namespace

OutputFile OutputFile::InFolder(const std::string& folder)
{
    UnfinishedFile created = CreateUnfinishedFile(folder);
    OutputFile output;
    output.file_ = std::move(created.File);
    output.openError_ = created.Error;
    if (output.IsOpen()) output.hiddenPath_ = created.Path;
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
    if (!output.IsOpen() && target.Exists && output.openError_.IsInFolder()) {
        // The folder refuses a new file, the file itself may be written: it will be, in place.
        FileDescriptor staging = OpenStagingFile();
        if (staging.IsOpen()) {
            output.file_ = std::move(staging);
            output.openError_ = {};
            output.inPlace_ = true;
        }
    }
    return output;
}

OutputFile::OutputFile(OutputFile&& other) noexcept
    : file_(std::move(other.file_)),
      openError_(other.openError_),
      writeError_(other.writeError_),
      hiddenPath_(std::exchange(other.hiddenPath_, {})),
      head_(std::move(other.head_)),
      targetPath_(std::move(other.targetPath_)),
      pending_(std::move(other.pending_)),
      direct_(other.direct_),
      inPlace_(other.inPlace_)
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
        head_ = std::move(other.head_);
        targetPath_ = std::move(other.targetPath_);
        pending_ = std::move(other.pending_);
        direct_ = other.direct_;
        inPlace_ = other.inPlace_;
    }
    return *this;
}

OutputFile::~OutputFile() { Abandon(); }

IoError OutputFile::Write(const void* data, std::size_t size)
{
    if (!IsOpen()) return openError_ ? openError_ : IoError(EBADF);
    if (writeError_) return writeError_;
    const auto* bytes = static_cast<const char*>(data);
    if (!hiddenPath_.empty() && head_.size() < UnfinishedMarkSize) {
        // The mark stands in the file where these bytes belong; they follow it at the end.
        const std::size_t held = std::min(size, UnfinishedMarkSize - head_.size());
        head_.append(bytes, held);
        bytes += held;
        size -= held;
    }
    if (direct_) {
        writeError_ = file_.Write(bytes, size);
        return writeError_;
    }
    if (pending_.size() + size > WriteChunk) {
        if ((writeError_ = WritePending())) return writeError_;
        if (size >= WriteChunk) return writeError_ = file_.Write(bytes, size);
    }
    if (pending_.capacity() < WriteChunk) pending_.reserve(WriteChunk);
    pending_.insert(pending_.end(), bytes, bytes + size);
    return {};
}

IoError OutputFile::ReadBack(std::uint64_t offset, void* target, std::size_t size)
{
    if (!IsOpen()) return openError_ ? openError_ : IoError(EBADF);
    if (direct_) return IoError(ESPIPE);
    if (!writeError_) writeError_ = WritePending();
    if (writeError_) return writeError_;
    auto* bytes = static_cast<char*>(target);
    if (!hiddenPath_.empty() && offset < UnfinishedMarkSize) {
        // The mark stands where the content's head belongs.
        const std::size_t fromHead = std::min<std::size_t>(size, UnfinishedMarkSize - offset);
        if (offset + fromHead > head_.size()) return IoError(EIO);
        std::copy_n(head_.data() + offset, fromHead, bytes);
        bytes += fromHead;
        offset += fromHead;
        size -= fromHead;
    }
    const ReadResult read = file_.ReadAt(bytes, size, offset);
    return read.Error ? read.Error : read.Bytes == size ? IoError() : IoError(EIO);
}

IoError OutputFile::WritePending()
{
    if (pending_.empty()) return {};
    const IoError error = file_.Write(pending_.data(), pending_.size());
    pending_.clear();
    // The disk takes the bytes while the rest is computed, so the flush at the end waits for
    // little more than the last chunk. Only a request: failures show in that flush.
    ::sync_file_range(file_.Get(), 0, 0, SYNC_FILE_RANGE_WRITE);
    return error;
}

IoError OutputFile::Flush()
{
    if (!writeError_) writeError_ = WritePending();
    if (writeError_) return writeError_;
    if (::fsync(file_.Get()) != 0) return IoError::Last();
    if (!hiddenPath_.empty()) {
        // The content's head over the mark, flushed before the file takes a name. A content
        // shorter than the mark ends where the content does.
        if (const IoError error = file_.WriteAt(head_.data(), head_.size(), 0)) return error;
        if (head_.size() < UnfinishedMarkSize && ::ftruncate(file_.Get(), static_cast<off_t>(head_.size())) != 0)
            return IoError::Last();
        if (::fdatasync(file_.Get()) != 0) return IoError::Last();
    }
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
    if (!error && inPlace_) error = ReplaceInPlace(file_, targetPath_);
    // Renamed while still locked and open, so that no other program takes it for left behind.
    else if (!error && ::rename(hiddenPath_.c_str(), targetPath_.c_str()) != 0) error = IoError::Last();
    if (error) {
        Abandon();
        return error;
    }
    hiddenPath_.clear();
    // After fsync and rename the content is in place; closing has nothing left to lose.
    file_.Close();
    return {};
}

FreeName OutputFile::CommitToFreeName(const std::vector<std::string>& names)
{
    FreeName result;
    result.Error = IsOpen() ? Flush() : (openError_ ? openError_ : IoError(EBADF));
    if (!result.Error) {
        result = MoveToFreeName(hiddenPath_, names);
        if (!result.Error) hiddenPath_.clear();
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
