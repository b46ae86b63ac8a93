#pragma once
#include <string>

namespace nimbra::fuzzing {

// Each runs a file through one reader as the program meets it, and through everything that
// shows what was read, so that any byte pattern that reaches them is exercised.

// Read as a palette, then painted as the editor's strip and laid out as its markers.
void ReplayPaletteFile(const std::string& path);

// Read as a configuration, then turned into the main window's texts and caption.
void ReplayConfigFile(const std::string& path);

// Read as the Julia constant histories, written back and read again: the lists must come back
// as they were read. A difference aborts, so the fuzzer keeps the input.
void ReplayParameterFile(const std::string& path);

// Read as the program settings, written back and read again: the viewer must come back as read.
void ReplaySettingsFile(const std::string& path);

// Converted by each of the four pixel operations into its CONV_ copy, which is removed again.
void ReplayTgaConversion(const std::string& path);

}  // namespace nimbra::fuzzing
