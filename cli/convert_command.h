#pragma once
#include "common/platform.h"

#include <ostream>
#include <string>
#include <vector>

namespace nimbra {

// nimbra-cli convert KIND FILE.tga [--tint RRGGBB]; args are the words after "convert".
// Writes the "CONV_" copy next to the file, or with --help the usage on out. 0: converted or
// the usage printed; 2: bad usage (the problem and the usage on err); 1: the conversion failed
// (the program's messages on err).
int RunConvertCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, Platform& platform);

}  // namespace nimbra
