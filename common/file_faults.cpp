#include "common/file_faults.h"

namespace nimbra {
namespace {

thread_local FileFaults* ActiveFaults = nullptr;
thread_local FileFaults ScopeFaults;

}  // namespace

FileFaultScope::FileFaultScope(FileFaults faults)
{
    ScopeFaults = faults;
    ActiveFaults = &ScopeFaults;
}

FileFaultScope::~FileFaultScope() { ActiveFaults = nullptr; }

IoError InjectedWriteFault()
{
    if (ActiveFaults == nullptr || ActiveFaults->FailingWrite <= 0) return {};
    if (--ActiveFaults->FailingWrite > 0) return {};
    return IoError(ActiveFaults->WriteError);
}

IoError InjectedCommitFault() { return ActiveFaults == nullptr ? IoError() : IoError(ActiveFaults->CommitError); }
IoError InjectedCreateFault() { return ActiveFaults == nullptr ? IoError() : IoError(ActiveFaults->CreateError); }
IoError InjectedLinkFault() { return ActiveFaults == nullptr ? IoError() : IoError(ActiveFaults->LinkError); }
IoError InjectedNoReplaceFault() { return ActiveFaults == nullptr ? IoError() : IoError(ActiveFaults->NoReplaceError); }

}  // namespace nimbra
