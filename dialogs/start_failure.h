#pragma once
#include "common/io_error.h"

#include <string>

namespace nimbra {

// What the user reads when a program could not be started: who it is ("Der Browser"), its
// path, and the reason on a second line.
std::string StartFailureMessage(const std::string& who, const std::string& program, IoError error);

// What the user reads when the browser command started but ended with exitStatus; xdg-open's
// statuses are explained.
std::string BrowserFailureMessage(const std::string& program, int exitStatus);

}  // namespace nimbra
