#include "cli/render_command.h"

#include "cli/interrupt_scope.h"
#include "cli/progress_pump.h"
#include "common/error.h"
#include "common/number_text.h"
#include "common/stream_dialogs.h"
#include "engine/formula_table.h"
#include "engine/headless_run.h"
#include "files/config_file.h"
#include "files/palette_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <thread>

namespace nimbra {
namespace {

// "mandelbrot | invmandel | ..."
std::string FormulaOptionNames()
{
    std::string names;
    for (const FormulaInfo& formula : Formulas) names += (names.empty() ? "" : " | ") + std::string(formula.OptionName);
    return names;
}

// The defaults it names are those of a run without options: the program's default view.
std::string RenderUsage(const std::string& program)
{
    const auto range = [](long double from, long double to) {
        return FormatGeneral(from, '.') + ":" + FormatGeneral(to, '.');
    };
    std::ostringstream usage;
    usage << "Aufruf: " << program << " render [Optionen]\n"
          << "  --config DATEI.cfg     von einer gespeicherten Konfiguration ausgehen (mit ihrem Farbverlauf)\n"
          << "  --formula NAME         " << FormulaOptionNames() << "\n"
          << "  --size BxH             Bildgröße                       (" << DefaultView::Width << "x"
          << DefaultView::Height << ")\n"
          << "  --real VON:BIS         reeller Bereich                 ("
          << range(DefaultView::RealFrom, DefaultView::RealTo) << ")\n"
          << "  --imag VON:BIS         imaginärer Bereich              ("
          << range(DefaultView::ImagFrom, DefaultView::ImagTo) << ")\n"
          << "  --iterations N         Iterationsmaximum               (" << DefaultView::MaxIterations << ")\n"
          << "  --color rgb|cmy|grad   Farbmodell                      (rgb)\n"
          << "  --invert               Iterationstiefe invertieren\n"
          << "  --julia RE:IM          Julia-Konstante                 (0:0)\n"
          << "  --palette DATEI.pal    Farbverlauf für grad            (Standardverlauf)\n"
          << "  --threads N            Rechen-Threads                  (alle Kerne)\n"
          << "  -o, --output DATEI.tga Ausgabedatei    (die nächste freie pix/nimbraNNN.tga)\n";
    return usage.str();
}

const std::map<std::string, ColorModel> ModelOptionNames = {
    {"rgb", ColorModel::Rgb}, {"cmy", ColorModel::Cmy}, {"grad", ColorModel::Grad}};

struct UsageError {
    std::string Text;
};

// What the options ask for. The field options are kept as changes, applied over the defaults
// or over a configuration whatever their order.
struct RenderRequest {
    std::vector<std::function<void(ParamFields&)>> FieldChanges;
    std::optional<FormulaKind> Formula;
    std::string ConfigPath;
    std::string PalettePath;
    int Threads = 0;  // all cores (of each machine)
    std::string OutputPath;
};

std::pair<std::string, std::string> SplitPair(const std::string& option, const std::string& value, char separator)
{
    const std::size_t at = value.find(separator);
    if (at == std::string::npos || value.find(separator, at + 1) != std::string::npos)
        throw UsageError{option + ": erwartet zwei Werte, getrennt durch '" + std::string(1, separator) + "', nicht '" +
                         value + "'"};
    return {value.substr(0, at), value.substr(at + 1)};
}

// A change that sets two fields from "a<separator>b".
std::function<void(ParamFields&)> SetPair(const std::string& option, const std::string& value, char separator,
                                          std::string ParamFields::*first, std::string ParamFields::*second)
{
    const std::pair<std::string, std::string> values = SplitPair(option, value, separator);
    return [values, first, second](ParamFields& fields) {
        fields.*first = values.first;
        fields.*second = values.second;
    };
}

RenderRequest ParseRenderOptions(const std::vector<std::string>& args)
{
    RenderRequest request;
    auto& changes = request.FieldChanges;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (option == "--invert") {
            changes.push_back([](ParamFields& fields) { fields.Inverted = true; });
            continue;
        }
        if (i + 1 >= args.size()) throw UsageError{option + ": unbekannte Option oder fehlender Wert"};
        const std::string value = args[++i];
        if (option == "--formula") {
            request.Formula = FormulaByOption(value);
            if (!request.Formula) throw UsageError{"--formula: unbekannte Formel '" + value + "'"};
        } else if (option == "--size") {
            changes.push_back(SetPair(option, value, 'x', &ParamFields::Width, &ParamFields::Height));
        } else if (option == "--real") {
            changes.push_back(SetPair(option, value, ':', &ParamFields::RealFrom, &ParamFields::RealTo));
        } else if (option == "--imag") {
            changes.push_back(SetPair(option, value, ':', &ParamFields::ImagFrom, &ParamFields::ImagTo));
        } else if (option == "--julia") {
            changes.push_back(SetPair(option, value, ':', &ParamFields::JuliaReal, &ParamFields::JuliaImag));
        } else if (option == "--iterations") {
            changes.push_back([value](ParamFields& fields) { fields.Iterations = value; });
        } else if (option == "--color") {
            const auto found = ModelOptionNames.find(value);
            if (found == ModelOptionNames.end())
                throw UsageError{"--color: erwartet rgb, cmy oder grad, nicht '" + value + "'"};
            changes.push_back([model = found->second](ParamFields& fields) { fields.Model = model; });
        } else if (option == "--config") {
            request.ConfigPath = value;
        } else if (option == "--palette") {
            request.PalettePath = value;
        } else if (option == "--threads") {
            try {
                request.Threads = std::stoi(value);
            } catch (const std::exception&) {
                request.Threads = 0;
            }
            if (request.Threads < 1 || request.Threads > 256)
                throw UsageError{"--threads: erwartet eine Zahl von 1 bis 256, nicht '" + value + "'"};
        } else if (option == "-o" || option == "--output") {
            request.OutputPath = value;
        } else {
            throw UsageError{option + ": unbekannte Option"};
        }
    }
    return request;
}

// The fields and formula of the run: the defaults or the configuration, then the options.
// Nothing when a file could not be read whole (its message has been printed).
std::optional<ParamFields> GatherFields(const RenderRequest& request, FractalParams& params, PaletteList& palette,
                                        UserDialogs& dialogs)
{
    ParamFields fields;
    if (!request.ConfigPath.empty()) {
        const ConfigurationRead read = ReadConfigurationFile(request.ConfigPath, palette, dialogs);
        if (!read.Complete) return std::nullopt;
        fields = ConfigFieldTexts(*read.Record, '.');
        params.Formula = read.Record->Formula;
    }
    if (!request.PalettePath.empty() && !ReadPaletteFile(request.PalettePath, palette, dialogs)) return std::nullopt;
    for (const auto& change : request.FieldChanges) change(fields);
    if (request.Formula) params.Formula = static_cast<std::uint8_t>(*request.Formula);
    fields.Preview = false;  // the renderer always writes a file
    return fields;
}

bool IsStandardOutput(const std::string& path)
{
    struct stat output {}, file {};
    return ::fstat(STDOUT_FILENO, &output) == 0 && ::stat(path.c_str(), &file) == 0 && output.st_dev == file.st_dev &&
           output.st_ino == file.st_ino;
}

}  // namespace

int RunRenderCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, Platform& platform,
                     const RenderSetup& setup)
{
    RenderRequest request;
    try {
        request = ParseRenderOptions(args);
    } catch (const UsageError& usage) {
        err << usage.Text << "\n\n" << RenderUsage(setup.Program);
        return 2;
    }

    HeadlessRun run;
    StreamDialogs dialogs(err);
    const std::optional<ParamFields> fields = GatherFields(request, run.Params, run.Palette, dialogs);
    if (!fields) return 1;
    const InterruptScope interrupts;
    ProgressPump pump(run.State, run.Params, interrupts, err, setup.ProgressVisible);
    RunContext context = run.ContextWith(dialogs, platform, pump);
    context.StartFolder = std::filesystem::current_path().string() + "/";
    if (request.OutputPath.empty()) {
        std::error_code ignored;
        std::filesystem::create_directory(context.StartFolder + "pix", ignored);
    }
    const int threads =
        request.Threads > 0 ? request.Threads : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    context.WorkerThreads = threads > 1 ? threads : 0;
    context.OutputPathOverride = request.OutputPath;
    if (setup.MakeRowSource) {
        context.MakeRowSource = [&](const FractalParams& corrected, const std::atomic<bool>& stop) {
            return setup.MakeRowSource(corrected, stop, request.Threads, context.Shortcuts);
        };
    }
    const auto started = std::chrono::steady_clock::now();
    RunOutcome outcome = RunOutcome::Refused;
    try {
        outcome = RunCalculation(*fields, context);
    } catch (const Error& error) {
        pump.Clear();
        err << error.what() << '\n';
        return 1;
    }
    pump.Clear();
    if (outcome == RunOutcome::Stopped) {
        err << "Abgebrochen: es wurde keine Datei geschrieben.\n";
        return interrupts.ExitCode();
    }
    if (outcome != RunOutcome::FileCompleted) return 1;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::ostringstream summary;
    summary.precision(2);
    summary << std::fixed << run.LastImagePath << ": " << run.Params.Width << " x " << run.Params.Height
            << " Pixel, " << seconds << " s\n";
    // An image written to standard output must not be followed by the summary.
    (IsStandardOutput(run.LastImagePath) ? err : out) << summary.str();
    return 0;
}

}  // namespace nimbra
