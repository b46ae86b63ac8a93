#include "cli/convert_command.h"
#include "cli/help_option.h"
#include "cli/render_command.h"
#include "cli/resolution_command.h"
#include "common/posix_platform.h"

#include <unistd.h>

#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr char Usage[] =
    "Aufruf: nimbra-cli render [Optionen]             (nimbra-cli render --help)\n"
    "        nimbra-cli convert ART DATEI.tga [--tint RRGGBB]\n"
    "        nimbra-cli convert png DATEI.tga [--dpi N]\n"
    "        nimbra-cli resolution FORMAT DPI\n"
    "        nimbra-cli --help | --version\n";

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> words(argv + 1, argv + argc);
    if (words.empty()) {
        std::cerr << "nimbra-cli: ein Befehl wird gebraucht\n" << Usage;
        return 2;
    }
    const std::vector<std::string> args(words.begin() + 1, words.end());
    nimbra::PosixPlatform platform;
    if (words[0] == "render")
        return nimbra::RunRenderCommand(args, std::cout, std::cerr, platform,
                                        {.ProgressVisible = isatty(STDERR_FILENO) == 1});
    if (words[0] == "convert") return nimbra::RunConvertCommand(args, std::cout, std::cerr, platform);
    if (words[0] == "resolution") return nimbra::RunResolutionCommand(args, std::cout, std::cerr);
    if (const std::optional<int> answered = nimbra::AnswerProgramOption(words[0], "nimbra-cli", Usage))
        return *answered;
    std::cerr << "nimbra-cli: unbekannter Befehl '" << words[0] << "'\n" << Usage;
    return 2;
}
