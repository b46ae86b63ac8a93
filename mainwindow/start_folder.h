#pragma once
#include <string>

namespace nimbra {

// The current directory ending in "/": every file of the program lies below it.
std::string CurrentStartFolder();

// Creates "cfg", "pix", "param" and "pal" below startFolder where missing. Failures are
// ignored here; the file operation that needs a folder reports it.
void CreateWorkFolders(const std::string& startFolder);

}  // namespace nimbra
