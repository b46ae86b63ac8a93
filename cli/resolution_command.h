#pragma once
#include <ostream>
#include <string>
#include <vector>

namespace nimbra {

// nimbra-cli resolution FORMAT DPI; args are the words after "resolution". Prints "W x H", or
// with --help the usage. 0: printed; 2: bad usage; 1: the resolution cannot be used (the
// program's message on err).
int RunResolutionCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace nimbra
