#pragma once
#include <algorithm>
#include <string>
#include <vector>

namespace nimbra {

// Whether a command's arguments ask for its usage: --help anywhere among them, even where an
// option would take it as its value, so that asking for help never starts any work.
inline bool AsksForHelp(const std::vector<std::string>& args)
{
    return std::find(args.begin(), args.end(), "--help") != args.end();
}

}  // namespace nimbra
