#pragma once
#include "common/file_descriptor.h"
#include "common/free_name.h"
#include "common/io_error.h"

#include <cstddef>
#include <string>
#include <vector>

namespace nimbra {

// A file written as a whole. Its bytes go to a hidden file ".nimbra-XXXXXX" beside the target
// (common/unfinished_file.h), which takes its name only when finished (Commit,
// CommitToFreeName); dropped before that, the hidden file is removed and the target keeps what
// it had. One left behind by a killed program is removed by the next output into the same
// folder of a program started a few seconds later. An existing FIFO or character device is
// written into directly instead, never replaced. An existing writable file in a folder that
// refuses new files is written over in place once the new content is complete.
class OutputFile {
public:
    // For path: a symbolic link is followed, so the link stays and its target is replaced. A
    // folder, a block device or a write-protected file is refused before anything is written.
    static OutputFile Replacing(const std::string& path);
    // A hidden file in folder (ending in "/", or empty for the current one), for CommitToFreeName.
    static OutputFile InFolder(const std::string& folder);

    OutputFile(OutputFile&& other) noexcept;
    OutputFile& operator=(OutputFile&& other) noexcept;
    ~OutputFile();

    bool IsOpen() const { return file_.IsOpen(); }
    IoError OpenError() const { return openError_; }
    bool WritesDirectly() const { return direct_; }

    // After a failed write every later one fails alike, and nothing is put in place. The bytes
    // of a file that is not written into directly are gathered: the failure of a write may show
    // in a later one, or in the commit.
    IoError Write(const void* data, std::size_t size);
    // Reads back size bytes of what was written, from offset on; not for a file written into
    // directly. The bytes gathered so far are handed to the kernel first.
    IoError ReadBack(std::uint64_t offset, void* target, std::size_t size);
    // Flushes the file to the disk and renames it over the target; on any failure, also an
    // earlier one of Write, the target is untouched and the hidden file removed.
    IoError Commit();
    // Flushes the file and gives it the first of names free at that moment (common/free_name.h).
    FreeName CommitToFreeName(const std::vector<std::string>& names);

    void Abandon() noexcept;

private:
    OutputFile() = default;
    IoError WritePending();
    IoError Flush();  // the failure of an earlier write, or of fsync; the content's head in place

    FileDescriptor file_;
    IoError openError_;
    IoError writeError_;
    std::string hiddenPath_;  // empty when writing directly or in place
    std::string head_;        // the content's first bytes, held back while the mark stands there
    std::string targetPath_;
    std::vector<char> pending_;  // bytes not yet handed to the kernel
    bool direct_ = false;
    bool inPlace_ = false;  // file_ is a staging file, copied over the target when complete
};

// Replaces path by content as a whole.
IoError WriteWholeFile(const std::string& path, const std::string& content);

}  // namespace nimbra
