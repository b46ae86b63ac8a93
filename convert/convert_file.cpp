#include "convert/convert_file.h"

#include "common/error.h"
#include "common/file_descriptor.h"
#include "common/output_file.h"
#include "engine/tga_output.h"

#include <sys/stat.h>

#include <cerrno>
#include <cmath>
#include <optional>
#include <vector>

namespace nimbra {
namespace {

std::uint8_t SumOfOthers(std::uint8_t a, std::uint8_t b) { return static_cast<std::uint8_t>((a + b) % 256); }

// Component x value / 256, the division in floating point, rounded to even.
std::uint8_t Scaled(std::uint8_t component, int value)
{
    return static_cast<std::uint8_t>(nearbyintl(static_cast<long double>(component) * value / 256));
}

std::string FileNameOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The end of a conversion that wrote its output.
void ReportEnd(ConversionContext& context, const std::string& outputPath)
{
    context.Progress.ShowStep("");
    context.Dialogs.ShowMessage("Konvertierung beendet --> " + outputPath);
    context.Progress.Hide();
}

// The window must not wait behind a failure's message.
void HideProgress(ConversionContext& context)
{
    context.Progress.ShowStep("");
    context.Progress.Hide();
}

// A failure is never reported as "Konvertierung beendet". An output not yet complete is
// dropped with its hidden file.
ConversionOutcome ReportFailure(ConversionContext& context, const std::string& message)
{
    HideProgress(context);
    context.Dialogs.ShowWarning(message);
    return ConversionOutcome::Failed;
}

// An input/output error is shown as the error it is.
ConversionOutcome ReportFailure(ConversionContext& context, IoError error, const std::string& path)
{
    HideProgress(context);
    context.Dialogs.ShowError(Error::Io(error, path).what());
    return ConversionOutcome::Failed;
}

class RunningFlag {
public:
    explicit RunningFlag(bool& flag) : flag_(flag) { flag_ = true; }
    ~RunningFlag() { flag_ = false; }
    RunningFlag(const RunningFlag&) = delete;
    RunningFlag& operator=(const RunningFlag&) = delete;

private:
    bool& flag_;
};

// A file not smaller than the free space rounded to single precision is refused, with a
// message naming the output and the volume. The check only warns early (a disk that fills up
// still fails the write with its own message), so the rounding, one part in 16 million, costs
// nothing.
bool DiskTooFull(ConversionContext& context, std::uint64_t fileBytes, const std::string& outputPath)
{
    const std::string program = context.System.ExecutablePath();
    const std::optional<std::uint64_t> freeBytes = context.System.FreeBytes(program);
    if (!freeBytes) return false;  // unknown: go on
    const float freeSingle = static_cast<float>(*freeBytes);
    if (static_cast<long double>(fileBytes) < static_cast<long double>(freeSingle)) return false;
    const std::string volume = program.substr(0, program.rfind('/') + 1);
    ReportFailure(context, "Das Speichermedium ist voll !\n" + LowSpaceReason(outputPath, fileBytes, volume, *freeBytes));
    return true;
}

// The file whose read or write failed, and why.
struct BlockFailure {
    std::string Path;
    IoError Error;
};

// Converts the blocks after the header, up to the size the input had when opened, or until a
// stop is requested.
std::optional<BlockFailure> ConvertBlocks(ConversionKind kind, ConversionContext& context, InputFile& input,
                                          OutputFile& output)
{
    std::vector<std::uint8_t> block(ConversionBlockBytes);
    std::uint64_t total = 0;
    while (TgaHeaderSize + total < input.SizeBytes && !context.StopRequested) {
        context.Pump.Poll();
        context.Progress.ShowStep("Lese Datenblock ...");
        const ReadResult read = input.File.Read(block.data(), block.size());
        if (read.Error) return BlockFailure{context.SourceName, read.Error};
        if (read.Bytes == 0) break;  // the file shrank since it was opened
        const std::size_t count = read.Bytes;

        context.Progress.ShowStep("Konvertiere Datenblock ...");
        for (std::size_t i = 0; i + 3 <= count; i += 3) {
            const FilePixel pixel = ConvertPixel(kind, {block[i], block[i + 1], block[i + 2]}, context.TintColor);
            block[i] = pixel[0];
            block[i + 1] = pixel[1];
            block[i + 2] = pixel[2];
            context.Pump();
        }

        context.Progress.ShowStep("Schreibe Datenblock ...");
        if (const IoError error = output.Write(block.data(), count))
            return BlockFailure{ConvertedPath(context.SourceName), error};

        // The header counts in the file size but not in the total.
        total += count;
        context.Progress.ShowPercent(static_cast<int>(
            nearbyintl(static_cast<long double>(total) * 100 / static_cast<long double>(input.SizeBytes))));
    }
    return std::nullopt;
}

// Through a symbolic or a hard link the output name can be the input file itself, which the
// output would replace before it has been read.
bool IsSameFile(const InputFile& input, const std::string& path)
{
    struct stat inputInfo {}, pathInfo {};
    return ::fstat(input.File.Get(), &inputInfo) == 0 && ::stat(path.c_str(), &pathInfo) == 0 &&
           inputInfo.st_dev == pathInfo.st_dev && inputInfo.st_ino == pathInfo.st_ino;
}

ConversionOutcome ConvertOpenInput(ConversionKind kind, ConversionContext& context, InputFile& input)
{
    const std::string outputPath = ConvertedPath(context.SourceName);
    if (DiskTooFull(context, input.SizeBytes, outputPath)) {
        input.File.Close();
        return ConversionOutcome::DiskFull;
    }

    if (IsSameFile(input, outputPath)) {
        ReportFailure(context, "Die Ausgabedatei " + outputPath + " ist die Eingabedatei " + context.SourceName +
                                   " selbst: es wird nichts konvertiert !");
        return ConversionOutcome::SameFile;
    }
    OutputFile output = OutputFile::Replacing(outputPath);
    if (!output.IsOpen()) return ReportFailure(context, output.OpenError(), outputPath);

    std::uint8_t header[TgaHeaderSize];
    const ReadResult headerRead = input.File.Read(header, sizeof header);
    // A file shorter than its header cannot be a TGA file; reading past its end is an I/O error.
    if (headerRead.Error || headerRead.Bytes < sizeof header)
        return ReportFailure(context, headerRead.Error ? headerRead.Error : IoError(FileTooShort), context.SourceName);
    if (const IoError error = output.Write(header, sizeof header)) return ReportFailure(context, error, outputPath);

    if (const std::optional<BlockFailure> failure = ConvertBlocks(kind, context, input, output))
        return ReportFailure(context, failure->Error, failure->Path);
    if (context.StopRequested) {
        context.Progress.ShowStep("");
        context.Progress.Hide();
        return ConversionOutcome::Stopped;
    }

    if (const IoError error = input.File.Close()) return ReportFailure(context, error, context.SourceName);
    if (const IoError error = output.Commit()) return ReportFailure(context, error, outputPath);
    ReportEnd(context, outputPath);
    return ConversionOutcome::Converted;
}

}  // namespace

FilePixel RgbCmyPixel(FilePixel pixel)
{
    const auto [b1, b2, b3] = pixel;
    return {SumOfOthers(b2, b3), SumOfOthers(b1, b3), SumOfOthers(b1, b2)};
}

FilePixel ToGradPixel(FilePixel pixel, Rgb tint)
{
    const int gray = (pixel[0] + pixel[1] + pixel[2]) / 3;
    return {Scaled(tint.Blue, gray), Scaled(tint.Green, gray), Scaled(tint.Red, gray)};
}

FilePixel GradRgbPixel(FilePixel pixel, Rgb tint)
{
    return {Scaled(tint.Blue, pixel[0]), Scaled(tint.Green, pixel[1]), Scaled(tint.Red, pixel[2])};
}

FilePixel GradCmyPixel(FilePixel pixel, Rgb tint) { return RgbCmyPixel(GradRgbPixel(pixel, tint)); }

FilePixel ConvertPixel(ConversionKind kind, FilePixel pixel, Rgb tint)
{
    switch (kind) {
    case ConversionKind::RgbCmy: return RgbCmyPixel(pixel);
    case ConversionKind::ToGrad: return ToGradPixel(pixel, tint);
    case ConversionKind::GradRgb: return GradRgbPixel(pixel, tint);
    case ConversionKind::GradCmy: return GradCmyPixel(pixel, tint);
    }
    return pixel;
}

std::string ConvertedPath(const std::string& sourcePath)
{
    const std::size_t slash = sourcePath.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : sourcePath.substr(0, slash + 1);
    return folder + "CONV_" + FileNameOf(sourcePath);
}

ConversionOutcome ConvertFile(ConversionKind kind, ConversionContext& context)
{
    if (context.Running) return ConversionOutcome::Ignored;
    const RunningFlag running(context.Running);

    // Read and write access, so a write-protected file counts as not openable. A device or pipe
    // would never reach its end.
    InputFile input = OpenInput(context.SourceName, InputAccess::ReadWrite);
    if (input.Error) {
        ReportFailure(context,
                      WithReason("Grafikdatei " + context.SourceName + " kann nicht geöffnet werden !", input.Error));
        return ConversionOutcome::NotOpened;
    }
    return ConvertOpenInput(kind, context, input);
}

ConversionOutcome ConvertCommand(ConversionKind kind, ConversionContext& context)
{
    if (context.Running) return ConversionOutcome::Ignored;
    if (kind == ConversionKind::ToGrad) {
        const std::optional<Rgb> colour = context.Dialogs.ChooseColour(context.TintColor);
        if (!colour) return ConversionOutcome::Cancelled;
        context.TintColor = *colour;  // kept even when the file dialog is cancelled
    }
    FileRequest request;
    request.DialogKind = FileRequest::Kind::Open;
    request.Title = "Grafikdaten laden";
    request.Filter = "Truevision TARGA|*.tga";
    request.DefaultExtension = "tga";
    request.InitialFolder = "pix";
    const std::optional<std::string> path = context.Dialogs.ChooseFile(request);
    if (!path) return ConversionOutcome::Cancelled;
    context.SourceName = *path;
    context.Progress.ShowStarted(FileNameOf(*path));
    return ConvertFile(kind, context);
}

}  // namespace nimbra
