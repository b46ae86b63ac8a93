#pragma once
#include "common/pump_hook.h"
#include "common/user_dialogs.h"

#include <string>
#include <vector>

namespace nimbra {

// The two text files of the folder "param": the Julia constant histories and the viewer
// setting. Lines are written ending in CR LF; a line ending in LF alone is read as well. The
// texts are bytes, written back as they were read. A file that does not exist is skipped
// silently; one that exists but cannot be read (a FIFO or a device among them), or cannot be
// written, is reported with its path and the reason, and nothing of it is used. A file is
// replaced as a whole, so a failed save keeps the older one.

std::string ParameterFilePath(const std::string& startFolder);  // startFolder + "param/nimbra.par"
std::string SettingsFilePath(const std::string& startFolder);   // startFolder + "param/nimbra.prf"

// Appends, line by line, the text before the first "-!!-" to realItems and the text after
// it, cut to 12 characters, to imagItems, each only when not empty. Lines without the
// separator are skipped. Pumps after every line. False when the file exists but could not be
// read.
bool LoadParameterFile(const std::string& path, std::vector<std::string>& realItems,
                       std::vector<std::string>& imagItems, UserDialogs& dialogs, PumpHook& pump);

// One line real + "-!!-" + imaginary for each position of the longer list; a missing item
// is written as an empty text. False when the file could not be written.
bool SaveParameterFile(const std::string& path, const std::vector<std::string>& realItems,
                       const std::vector<std::string>& imagItems, UserDialogs& dialogs);

// Sets viewerProgram from the last line whose key before the first "*=*" reads "VIEWER" once
// a-z are upper case; the value is cut to 255 characters. Pumps after every line. False when
// the file exists but could not be read.
bool LoadProgramSettings(const std::string& path, std::string& viewerProgram, UserDialogs& dialogs,
                         PumpHook& pump);

// Writes the single line "VIEWER*=*" + viewerProgram. False when the file could not be written.
bool SaveProgramSettings(const std::string& path, const std::string& viewerProgram, UserDialogs& dialogs);

}  // namespace nimbra
