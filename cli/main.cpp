#include "cli/render_command.h"
#include "common/posix_platform.h"

#include <iostream>
#include <string>
#include <vector>

namespace {

const char* const Usage =
    "Aufruf: nimbra-cli BEFEHL [Optionen]\n"
    "  render       ein Bild berechnen und als TGA-Datei schreiben (nimbra-cli render --help)\n";

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    nimbra::PosixPlatform platform;
    if (args.empty()) {
        std::cerr << Usage;
        return 2;
    }
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (args[0] == "render") return nimbra::RunRenderCommand(rest, std::cout, std::cerr, platform);
    std::cerr << args[0] << ": unbekannter Befehl\n\n" << Usage;
    return 2;
}
