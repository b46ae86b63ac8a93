#pragma once
#include "common/file_descriptor.h"
#include "common/io_error.h"

#include <cstddef>
#include <string>

namespace nimbra {

// An output is written to a hidden file ".nimbra-XXXXXX" beside its target until it is
// complete. While unfinished, the file's first bytes are not the content's own but a mark that
// only this program writes: it names the file and says what kind of leftover the file would be
// if its writer were killed. The writer puts the content's first bytes over the mark just
// before the file takes its name, so a finished file never carries it.
//
// Layout: bytes 0-18 "\x7Fnimbra unfinished ", byte 19 the kind, bytes 20-25 the six letters
// after ".nimbra-" of the name the file was created under.
constexpr std::size_t UnfinishedMarkSize = 26;

// The kind a run's output has: left behind, it is worth nothing and the clean-up removes it.
// The clean-up keeps every other kind, such as a render meant to be resumed.
constexpr char DiscardableKind = 'D';

struct UnfinishedFile {
    FileDescriptor File;  // open, locked for as long as it is open, marked, positioned after the mark
    std::string Path;
    IoError Error;  // of creating it; IoError::InFolder when the folder refuses a new file
};

// Creates a hidden file in folder (ending in "/", or empty for the current one). First removes
// the hidden files there that a killed program left: those that carry a discardable mark for
// their own name, are no longer locked by a writer, and were last written before this program
// started. Nothing else is ever removed, whatever its name.
UnfinishedFile CreateUnfinishedFile(const std::string& folder);

}  // namespace nimbra
