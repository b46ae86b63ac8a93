#include "cli/resolution_command.h"

#include "cli/help_option.h"
#include "common/error.h"
#include "dialogs/resolution.h"

namespace nimbra {
namespace {

constexpr char Usage[] =
    "Aufruf: nimbra-cli resolution FORMAT DPI   (FORMAT A6 bis A0, DPI z. B. 300)\n"
    "  gibt die Bildgröße in Pixeln aus, die der Bildauflösungsrechner für das Blatt vorschlägt\n";

int BadUsage(std::ostream& err, const std::string& problem)
{
    err << "nimbra-cli resolution: " << problem << "\n" << Usage;
    return 2;
}

}  // namespace

int RunResolutionCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    if (AsksForHelp(args)) {
        out << Usage;
        return 0;
    }
    for (const std::string& arg : args)
        if (arg.rfind("--", 0) == 0) return BadUsage(err, "unbekannte Option '" + arg + "'");
    if (args.size() < 2) return BadUsage(err, "FORMAT und DPI werden gebraucht");
    if (args.size() > 2) return BadUsage(err, "überzähliges Argument '" + args[2] + "'");
    try {
        std::string dpiText = args[1];
        const ImageSize size = Recalculate(args[0], dpiText);
        out << size.Width << " x " << size.Height << "\n";
        return 0;
    } catch (const Error& error) {
        err << error.what() << "\n";
        return 1;
    }
}

}  // namespace nimbra
