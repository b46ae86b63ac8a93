#pragma once
#include "common/file_descriptor.h"
#include "common/io_error.h"

#include <string>

namespace nimbra {

// A file without a name in the folder for temporary files ($TMPDIR, or /tmp), gone when closed:
// where a new file cannot be made beside the target, its new content waits here until complete.
FileDescriptor OpenStagingFile();

// Writes the content of staged over the existing file at target, in place, as an editor does
// in a folder that refuses new files: the file keeps its inode, owner, mode and links. Refused
// before anything is written when the target's volume lacks the room the file grows by. Should
// a write fail midway, the old content, copied aside first, is written back and the old length
// restored, so the file is whole; only a killed program can leave it half written.
IoError ReplaceInPlace(FileDescriptor& staged, const std::string& target);

}  // namespace nimbra
