#pragma once
#include "common/io_error.h"

namespace nimbra {

// Failures a test asks the file layer for, so that it can show what survives them.
struct FileFaults {
    int FailingWrite = 0;       // the n-th write from now fails (1: the next one); 0: none
    int WriteError = ENOSPC;
    int CommitError = 0;        // the rename or link that puts a finished file in place; 0: none
    int CreateError = 0;        // creating a hidden file, as a folder that refuses new files does
    int LinkError = 0;          // link(2), as on file systems without hard links
    int NoReplaceError = 0;     // renaming without replacing, as on file systems that cannot
};

// While it lives, the file layer on this thread fails as faults asks. Not nested.
class FileFaultScope {
public:
    explicit FileFaultScope(FileFaults faults);
    ~FileFaultScope();
    FileFaultScope(const FileFaultScope&) = delete;
    FileFaultScope& operator=(const FileFaultScope&) = delete;
};

// Called by the file layer before each such step; the error asked for, or none.
IoError InjectedWriteFault();
IoError InjectedCommitFault();
IoError InjectedCreateFault();
IoError InjectedLinkFault();
IoError InjectedNoReplaceFault();

}  // namespace nimbra
