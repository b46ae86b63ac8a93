#pragma once
#include <sys/types.h>

#include <string>
#include <vector>

namespace nimbra::testing {

// Starts command (the program's path first) in folder, with this process's environment and the
// further "NAME=value" entries. Its output and errors go to outputFile, by default nowhere.
pid_t StartProcess(const std::string& folder, std::vector<std::string> command,
                   const std::vector<std::string>& environment = {}, const std::string& outputFile = "/dev/null");

// What a program that ran to its end left: its exit code (-1 when a signal ended it) and what
// it wrote on standard output and standard error.
struct ProgramResult {
    int ExitCode;
    std::string Out, Err;
};
ProgramResult RunProgram(const std::string& folder, std::vector<std::string> command);

// Waits for the process to end; its wait status.
int WaitFor(pid_t pid);

// The hidden files ".nimbra-XXXXXX" that outputs are written to before they take their name.
int HiddenFiles(const std::string& folder);

}  // namespace nimbra::testing
