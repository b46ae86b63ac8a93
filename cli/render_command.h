#pragma once
#include "common/platform.h"

#include <ostream>
#include <string>
#include <vector>

namespace nimbra {

// nimbra-cli render [options]: writes the image a file run of the program would write.
// Returns the exit code: 0 done, 1 the image could not be made, 2 bad usage.
int RunRenderCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, Platform& platform);

}  // namespace nimbra
