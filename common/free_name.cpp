#include "common/free_name.h"

#include "common/file_faults.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

namespace nimbra {
namespace {

// The ways to take a name, from the best; a folder whose file system refuses one uses the next.
enum class Naming { Link, RenameNoReplace, Placeholder };

enum class Attempt { Taken, Exists, Unsupported, Failed };

struct Outcome {
    Attempt Result = Attempt::Failed;
    IoError Error;
};

Outcome Failure(IoError error)
{
    return {error.Number() == EEXIST ? Attempt::Exists : Attempt::Failed, error};
}

Outcome ByLink(const std::string& path, const std::string& name)
{
    IoError error = InjectedLinkFault();
    if (!error && ::link(path.c_str(), name.c_str()) != 0) error = IoError::Last();
    if (!error) {
        ::unlink(path.c_str());  // the content stays under its new name
        return {Attempt::Taken, {}};
    }
    // FAT, exFAT and many network mounts have no hard links, and each says so differently; any
    // other failure shows again in the next way.
    if (error.Number() == EEXIST) return {Attempt::Exists, error};
    return {Attempt::Unsupported, error};
}

Outcome ByRenameNoReplace(const std::string& path, const std::string& name)
{
    IoError error = InjectedNoReplaceFault();
    if (!error && ::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, name.c_str(), RENAME_NOREPLACE) != 0)
        error = IoError::Last();
    if (!error) return {Attempt::Taken, {}};
    const int number = error.Number();
    if (number == EINVAL || number == ENOSYS || number == EOPNOTSUPP) return {Attempt::Unsupported, error};
    return Failure(error);
}

// The placeholder is empty for the moment between its creation and the rename.
Outcome ByPlaceholder(const std::string& path, const std::string& name)
{
    const int placeholder = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (placeholder < 0) return Failure(IoError::Last());
    ::close(placeholder);
    if (::rename(path.c_str(), name.c_str()) == 0) return {Attempt::Taken, {}};
    const IoError error = IoError::Last();
    ::unlink(name.c_str());
    return {Attempt::Failed, error};
}

Outcome Take(Naming naming, const std::string& path, const std::string& name)
{
    switch (naming) {
    case Naming::Link: return ByLink(path, name);
    case Naming::RenameNoReplace: return ByRenameNoReplace(path, name);
    case Naming::Placeholder: break;
    }
    return ByPlaceholder(path, name);
}

}  // namespace

FreeName MoveToFreeName(const std::string& path, const std::vector<std::string>& names)
{
    FreeName result;
    Naming naming = Naming::Link;
    while (result.Index < names.size()) {
        const Outcome outcome = Take(naming, path, names[result.Index]);
        switch (outcome.Result) {
        case Attempt::Taken: return result;
        case Attempt::Exists: ++result.Index; break;
        case Attempt::Unsupported: naming = naming == Naming::Link ? Naming::RenameNoReplace : Naming::Placeholder; break;
        case Attempt::Failed: result.Error = outcome.Error; return result;
        }
    }
    result.Error = IoError(EEXIST);
    return result;
}

}  // namespace nimbra
