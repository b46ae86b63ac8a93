#pragma once
#include "common/version.h"

#include <algorithm>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace nimbra {

// Whether a command's arguments ask for its usage: --help anywhere among them, even where an
// option would take it as its value, so that asking for help never starts any work.
inline bool AsksForHelp(const std::vector<std::string>& args)
{
    return std::find(args.begin(), args.end(), "--help") != args.end();
}

// A program's own --help (its usage) and --version (its name and version), both on standard
// output; the exit code, or nothing for any other word.
inline std::optional<int> AnswerProgramOption(const std::string& word, const char* program, const char* usage)
{
    if (word == "--help") {
        std::cout << usage;
        return 0;
    }
    if (word == "--version") {
        std::cout << program << ' ' << ProgramVersion << '\n';
        return 0;
    }
    return std::nullopt;
}

}  // namespace nimbra
