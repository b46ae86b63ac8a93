#pragma once
#include "common/io_error.h"

#include <cstddef>
#include <string>
#include <vector>

namespace nimbra {

struct FreeName {
    std::size_t Index = 0;  // of the name the file took
    IoError Error;          // EEXIST when every name exists; the file is still under its own name then
};

// Gives the finished file at path the first of names that does not exist at that moment; each
// is taken atomically, so a name another program takes meanwhile is skipped and never
// replaced, and the file shows under it only whole. Where the folder's file system has no hard
// links, a rename that refuses to replace is used, and where it has none of those either, an
// empty placeholder taken exclusively and replaced by the file in one rename.
FreeName MoveToFreeName(const std::string& path, const std::vector<std::string>& names);

}  // namespace nimbra
