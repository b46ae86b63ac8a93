#include "cli/render_command.h"

#include "cli/help_option.h"
#include "cli/interrupt_scope.h"
#include "engine/named_image.h"
#include "cli/progress_pump.h"
#include "common/error.h"
#include "common/number_text.h"
#include "common/file_descriptor.h"
#include "common/stream_dialogs.h"
#include "dialogs/resolution.h"
#include "engine/formula_table.h"
#include "engine/headless_run.h"
#include "engine/png_output.h"
#include "engine/resumable_image.h"
#include "engine/resume_record.h"
#include "files/config_file.h"
#include "files/palette_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
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
          << "  --paper A0..A6         Bildgröße des Blattformats bei --dpi, quer wie im Bildauflösungsrechner\n"
          << "  --portrait             mit --paper: hochkant\n"
          << "  --dpi N                Auflösung für --paper, in PNG-Dateien vermerkt\n"
          << "  --real VON:BIS         reeller Bereich                 ("
          << range(DefaultView::RealFrom, DefaultView::RealTo) << ")\n"
          << "  --imag VON:BIS         imaginärer Bereich              ("
          << range(DefaultView::ImagFrom, DefaultView::ImagTo) << ")\n"
          << "  --iterations N         Iterationsmaximum               (" << DefaultView::MaxIterations << ")\n"
          << "  --color rgb|cmy|grad   Farbmodell                      (rgb)\n"
          << "  --invert               Iterationstiefe invertieren\n"
          << "  --julia RE:IM          Julia-Konstante                 (0:0)\n"
          << "  --palette DATEI.pal    Farbverlauf für grad            (Standardverlauf)\n"
          << "  --supersample K        Kantenglättung: jedes Pixel das Mittel aus KxK Punkten, K 1 bis 4 (1)\n"
          << "  --threads N            Rechen-Threads                  (alle Kerne)\n"
          << "  -o, --output DATEI     Ausgabedatei, DATEI.png als PNG, sonst TGA (die nächste freie "
             "pix/nimbraNNN.tga)\n"
          << "  --resume               die unterbrochene Berechnung von -o DATEI fortsetzen\n"
          << "  --help                 diese Übersicht\n";
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
    bool SizeGiven = false;
    std::string Paper;  // "A0" .. "A6"
    bool Portrait = false;
    std::int32_t DotsPerInch = 0;
    int Supersample = 1;
    bool Resume = false;
};

constexpr int MaxSupersample = 4;

// A count from 1 to maximum, or the usage error naming the option.
std::int32_t CountOption(const std::string& option, const std::string& value, std::int32_t maximum)
{
    const std::optional<std::int32_t> count = ParseCount(value, maximum);
    if (!count)
        throw UsageError{option + ": erwartet eine ganze Zahl von 1 bis " + std::to_string(maximum) + ", nicht '" +
                         value + "'"};
    return *count;
}

// The size of the sheet at the resolution, from the resolution calculator, turned when asked.
std::function<void(ParamFields&)> PaperSize(const RenderRequest& request)
{
    std::string dpiText = std::to_string(request.DotsPerInch);
    ImageSize size = Recalculate(request.Paper, dpiText);
    if (request.Portrait) std::swap(size.Width, size.Height);
    if (size.Width > MaxImageWidth)
        throw UsageError{"--paper " + request.Paper + " bei " + dpiText + " ergibt " + std::to_string(size.Width) +
                         "x" + std::to_string(size.Height) + " Pixel; breiter als " + std::to_string(MaxImageWidth) +
                         " Pixel kann ein Bild nicht sein"};
    return [size](ParamFields& fields) {
        fields.Width = std::to_string(size.Width);
        fields.Height = std::to_string(size.Height);
    };
}

// The rules between the options, once all are read.
void CheckCombinations(RenderRequest& request)
{
    if (!request.Paper.empty() && request.SizeGiven) throw UsageError{"--size und --paper schließen einander aus"};
    if (request.Portrait && request.Paper.empty()) throw UsageError{"--portrait gilt nur mit --paper"};
    if (!request.Paper.empty() && request.DotsPerInch == 0) throw UsageError{"--paper braucht --dpi"};
    if (request.Resume && request.OutputPath.empty()) throw UsageError{"--resume braucht -o DATEI"};
    if (!request.Paper.empty()) request.FieldChanges.push_back(PaperSize(request));
}

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
        if (option == "--portrait" || option == "--resume") {
            (option == "--portrait" ? request.Portrait : request.Resume) = true;
            continue;
        }
        if (i + 1 >= args.size()) throw UsageError{option + ": unbekannte Option oder fehlender Wert"};
        const std::string value = args[++i];
        if (option == "--formula") {
            request.Formula = FormulaByOption(value);
            if (!request.Formula) throw UsageError{"--formula: unbekannte Formel '" + value + "'"};
        } else if (option == "--size") {
            changes.push_back(SetPair(option, value, 'x', &ParamFields::Width, &ParamFields::Height));
            request.SizeGiven = true;
        } else if (option == "--paper") {
            request.Paper = value;
            std::transform(request.Paper.begin(), request.Paper.end(), request.Paper.begin(),
                           [](unsigned char c) { return std::toupper(c); });
            if (request.Paper.size() != 2 || request.Paper[0] != 'A' || request.Paper[1] < '0' || request.Paper[1] > '6')
                throw UsageError{"--paper: erwartet ein Blattformat A0 bis A6, nicht '" + value + "'"};
        } else if (option == "--dpi") {
            request.DotsPerInch = CountOption(option, value, MaxDotsPerInch);
        } else if (option == "--supersample") {
            request.Supersample = CountOption(option, value, MaxSupersample);
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
    CheckCombinations(request);
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

// "N von H Zeilen sind gesichert ...": what a render of path that did not complete left on disk
// for --resume, as its record says; nothing without one.
std::optional<std::string> KeptRowsText(const std::string& path, std::int32_t height)
{
    const FileContent content = ReadWholeFile(UnfinishedFilesOf(path).Record);
    const std::optional<ResumeRecord> record = content.Error ? std::nullopt : DecodeResumeRecord(content.Bytes);
    if (!record) return std::nullopt;
    return std::to_string(record->RowsDone) + " von " + std::to_string(height) +
           " Zeilen sind gesichert, mit --resume geht es weiter.";
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
    if (AsksForHelp(args)) {
        out << RenderUsage(setup.Program);
        return 0;
    }
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
    context.Supersample = request.Supersample;
    bool outputOpened = false;  // a record found afterwards is then this run's
    if (!request.OutputPath.empty()) {
        const NamedImageRequest image{.Path = request.OutputPath,
                                      .DotsPerInch = request.DotsPerInch,
                                      .Supersample = request.Supersample,
                                      .Resume = request.Resume};
        context.MakeImageOutput = [&, image](const FractalParams& corrected) {
            std::unique_ptr<ImageOutput> output = OpenNamedImage(corrected, image, run.Palette, dialogs, platform);
            outputOpened = output != nullptr;
            return output;
        };
    }
    if (setup.MakeRowSource) {
        context.MakeRowSource = [&](const FractalParams& computed, const std::atomic<bool>& stop,
                                    std::int32_t firstRow) {
            return setup.MakeRowSource(computed, stop, request.Threads, context.Shortcuts, firstRow);
        };
    }
    const auto started = std::chrono::steady_clock::now();
    RunOutcome outcome = RunOutcome::Refused;
    try {
        outcome = RunCalculation(*fields, context);
    } catch (const Error& error) {
        pump.Clear();
        err << error.what() << '\n';
        if (const auto kept = outputOpened ? KeptRowsText(request.OutputPath, run.Params.Height) : std::nullopt)
            err << request.OutputPath << ": " << *kept << '\n';
        return 1;
    }
    pump.Clear();
    if (outcome == RunOutcome::Stopped) {
        const auto kept = outputOpened ? KeptRowsText(request.OutputPath, run.Params.Height) : std::nullopt;
        if (kept)
            err << "Abgebrochen: " << request.OutputPath << " ist noch nicht geschrieben; " << *kept << '\n';
        else
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
