#include "cli/convert_command.h"

#include "cli/help_option.h"
#include "cli/interrupt_scope.h"
#include "cli/tga_to_png.h"
#include "common/number_text.h"
#include "engine/png_output.h"
#include "convert/convert_file.h"

#include <optional>

namespace nimbra {
namespace {

constexpr char Usage[] =
    "Aufruf: nimbra-cli convert ART DATEI.tga [--tint RRGGBB]\n"
    "        nimbra-cli convert png DATEI.tga [--dpi N]\n"
    "  ART: rgbcmy, cmyrgb, rgbgrad, cmygrad, gradrgb, gradcmy\n"
    "  --tint: die Farbe für rgbgrad, cmygrad, gradrgb und gradcmy, hexadezimal (ohne: schwarz)\n"
    "  png: schreibt DATEI.png mit denselben Pixeln, mit --dpi N samt Auflösung\n"
    "  --help: diese Übersicht\n";

constexpr char PngKind[] = "png";

// Keeps what the conversion says; a command line has nobody to answer questions.
class CollectedMessages final : public UserDialogs {
public:
    void ShowMessage(const std::string& text) override { Texts.push_back(text); }
    bool AskYesNo(const std::string&, const std::string&) override { return false; }
    std::optional<std::string> ChooseFile(const FileRequest&) override { return std::nullopt; }
    std::optional<Rgb> ChooseColour(Rgb) override { return std::nullopt; }
    std::vector<std::string> Texts;
};

// Passes an interrupt on to the conversion, which stops before its next block.
class InterruptPump final : public PumpHook {
public:
    explicit InterruptPump(const InterruptScope& interrupts) : interrupts_(interrupts) {}
    void Poll() override
    {
        if (Target != nullptr && interrupts_.Interrupted()) *Target = true;
    }
    std::atomic<bool>* Target = nullptr;

private:
    const InterruptScope& interrupts_;
};

struct ConvertArguments {
    ConversionKind Kind = ConversionKind::RgbCmy;
    bool ToPng = false;
    std::string File;
    Rgb Tint;
    std::int32_t DotsPerInch = 0;  // for png; 0: none given
};

std::optional<ConversionKind> KindNamed(const std::string& name)
{
    if (name == "rgbcmy" || name == "cmyrgb") return ConversionKind::RgbCmy;
    if (name == "rgbgrad" || name == "cmygrad") return ConversionKind::ToGrad;
    if (name == "gradrgb") return ConversionKind::GradRgb;
    if (name == "gradcmy") return ConversionKind::GradCmy;
    return std::nullopt;
}

std::optional<Rgb> HexColour(const std::string& text)
{
    if (text.size() != 6) return std::nullopt;
    std::uint8_t bytes[3] {};
    for (std::size_t i = 0; i < 6; ++i) {
        const char c = text[i];
        int digit = 0;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        else return std::nullopt;
        bytes[i / 2] = static_cast<std::uint8_t>(bytes[i / 2] * 16 + digit);
    }
    return Rgb{bytes[0], bytes[1], bytes[2]};
}

// The arguments, or the problem with them.
std::optional<ConvertArguments> ParseArguments(const std::vector<std::string>& args, std::string& problem)
{
    ConvertArguments parsed;
    std::vector<std::string> words;
    bool tintGiven = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--tint") {
            if (tintGiven) { problem = "--tint ist doppelt angegeben"; return std::nullopt; }
            if (i + 1 == args.size()) { problem = "--tint braucht eine Farbe RRGGBB"; return std::nullopt; }
            const std::optional<Rgb> tint = HexColour(args[++i]);
            if (!tint) {
                problem = "--tint '" + args[i] + "' ist keine Farbe RRGGBB aus sechs Hexadezimalziffern";
                return std::nullopt;
            }
            parsed.Tint = *tint;
            tintGiven = true;
        } else if (args[i] == "--dpi") {
            const std::optional<std::int32_t> dotsPerInch =
                i + 1 < args.size() ? ParseCount(args[++i], MaxDotsPerInch) : std::nullopt;
            if (!dotsPerInch) {
                problem = "--dpi erwartet eine ganze Zahl von 1 bis " + std::to_string(MaxDotsPerInch);
                return std::nullopt;
            }
            parsed.DotsPerInch = *dotsPerInch;
        } else if (args[i].rfind("--", 0) == 0) {
            problem = "unbekannte Option '" + args[i] + "'";
            return std::nullopt;
        } else {
            words.push_back(args[i]);
        }
    }
    if (words.size() < 2) { problem = "ART und DATEI werden gebraucht"; return std::nullopt; }
    if (words.size() > 2) { problem = "überzähliges Argument '" + words[2] + "'"; return std::nullopt; }
    parsed.File = words[1];
    parsed.ToPng = words[0] == PngKind;
    if (parsed.ToPng && tintGiven) { problem = "--tint gilt nicht für png"; return std::nullopt; }
    if (!parsed.ToPng && parsed.DotsPerInch > 0) { problem = "--dpi gilt nur für png"; return std::nullopt; }
    if (parsed.ToPng) return parsed;
    const std::optional<ConversionKind> kind = KindNamed(words[0]);
    if (!kind) { problem = "unbekannte ART '" + words[0] + "'"; return std::nullopt; }
    parsed.Kind = *kind;
    return parsed;
}

}  // namespace

int RunConvertCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, Platform& platform)
{
    if (AsksForHelp(args)) {
        out << Usage;
        return 0;
    }
    std::string problem;
    const std::optional<ConvertArguments> parsed = ParseArguments(args, problem);
    if (!parsed) {
        err << "nimbra-cli convert: " << problem << "\n" << Usage;
        return 2;
    }
    CollectedMessages messages;
    const InterruptScope interrupts;
    ConversionOutcome outcome;
    if (parsed->ToPng) {
        outcome = ConvertTgaToPng(parsed->File, parsed->DotsPerInch, messages, platform,
                                  [&interrupts] { return interrupts.Interrupted(); });
    } else {
        NoConversionProgress progress;
        InterruptPump pump(interrupts);
        ConversionContext context{progress, messages, platform, pump, parsed->File, parsed->Tint, false};
        pump.Target = &context.StopRequested;
        outcome = ConvertFile(parsed->Kind, context);
    }
    const bool converted = outcome == ConversionOutcome::Converted;
    std::ostream& report = converted ? out : err;
    for (const std::string& text : messages.Texts) report << text << "\n";
    if (outcome == ConversionOutcome::Stopped) {
        err << "Abgebrochen: es wurde keine Datei geschrieben.\n";
        return interrupts.ExitCode();
    }
    return converted ? 0 : 1;
}

}  // namespace nimbra
