#include "convert/convert_file.h"

#include "common/error.h"

#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace nimbra {
namespace {

std::uint8_t SumOfOthers(std::uint8_t a, std::uint8_t b) { return static_cast<std::uint8_t>((a + b) % 256); }

// Component x value / 256, the division in floating point, rounded to even.
std::uint8_t Scaled(std::uint8_t component, int value)
{
    return static_cast<std::uint8_t>(nearbyintl(static_cast<long double>(component) * value / 256));
}

// An open file that is closed when it goes out of scope unless closed before.
class OpenFile {
public:
    explicit OpenFile(int descriptor) : descriptor_(descriptor) {}
    ~OpenFile() { Close(); }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    int Descriptor() const { return descriptor_; }
    bool IsOpen() const { return descriptor_ >= 0; }

    // 0, or the error number of a failed close.
    int Close()
    {
        if (descriptor_ < 0) return 0;
        const int result = ::close(descriptor_);
        descriptor_ = -1;
        return result == 0 ? 0 : errno;
    }

private:
    int descriptor_;
};

// Reads until count bytes or the end of the file; the number read, or -1 with errno.
ssize_t ReadUpTo(int descriptor, std::uint8_t* buffer, std::size_t count)
{
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n = ::read(descriptor, buffer + done, count - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return -1;
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    return static_cast<ssize_t>(done);
}

// 0, or the error number of the failed write.
int WriteAll(int descriptor, const std::uint8_t* buffer, std::size_t count)
{
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n = ::write(descriptor, buffer + done, count - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (n == 0) return EIO;
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

std::string FileNameOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The end of a conversion that did not fail in the middle: the output path is empty when
// nothing was written.
void ReportEnd(ConversionContext& context, const std::string& outputPath)
{
    context.Progress.ShowStep("");
    context.Dialogs.ShowMessage("Konvertierung beendet --> " + outputPath);
    context.Progress.Hide();
}

// A failure is never reported as "Konvertierung beendet"; the window must not wait behind
// the message.
ConversionOutcome ReportFailure(ConversionContext& context, int errorNumber)
{
    context.Progress.ShowStep("");
    context.Progress.Hide();
    context.Dialogs.ShowError(Error::Io(errorNumber).what());
    return ConversionOutcome::Failed;
}

// A failure after the output was created: nothing half-written may stay.
ConversionOutcome ReportFailure(ConversionContext& context, int errorNumber, OpenFile& input, OpenFile& output,
                                const std::string& outputPath)
{
    input.Close();
    output.Close();
    ::unlink(outputPath.c_str());
    return ReportFailure(context, errorNumber);
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

// A file not smaller than the free space rounded to single precision is refused. The check only
// warns early (a disk that fills up still fails the write with its own message), so the
// rounding, one part in 16 million, costs nothing.
bool DiskTooFull(ConversionContext& context, std::uint64_t fileBytes)
{
    const std::optional<std::uint64_t> freeBytes = context.System.FreeBytes(context.System.ExecutablePath());
    if (!freeBytes) return false;  // unknown: go on
    const float freeSingle = static_cast<float>(*freeBytes);
    return static_cast<long double>(fileBytes) >= static_cast<long double>(freeSingle);
}

// Converts the blocks after the header; 0, or the error number of a failed read or write.
int ConvertBlocks(ConversionKind kind, ConversionContext& context, int input, int output, std::uint64_t fileBytes)
{
    std::vector<std::uint8_t> block(ConversionBlockBytes);
    std::uint64_t total = 0;
    for (;;) {
        struct stat info {};
        if (::fstat(input, &info) != 0) return errno;
        if (TgaHeaderBytes + total >= static_cast<std::uint64_t>(info.st_size)) return 0;

        context.Pump.Poll();
        context.Progress.ShowStep("Lese Datenblock ...");
        const ssize_t n = ReadUpTo(input, block.data(), block.size());
        if (n < 0) return errno;
        if (n == 0) return 0;  // the file shrank since it was measured
        const std::size_t count = static_cast<std::size_t>(n);

        context.Progress.ShowStep("Konvertiere Datenblock ...");
        for (std::size_t i = 0; i + 3 <= count; i += 3) {
            const FilePixel pixel = ConvertPixel(kind, {block[i], block[i + 1], block[i + 2]}, context.TintColor);
            block[i] = pixel[0];
            block[i + 1] = pixel[1];
            block[i + 2] = pixel[2];
            context.Pump();
        }

        context.Progress.ShowStep("Schreibe Datenblock ...");
        if (const int error = WriteAll(output, block.data(), count)) return error;

        // The header counts in the file size but not in the total.
        total += count;
        context.Progress.ShowPercent(
            static_cast<int>(nearbyintl(static_cast<long double>(total) * 100 / static_cast<long double>(fileBytes))));
    }
}

ConversionOutcome ConvertOpenInput(ConversionKind kind, ConversionContext& context, OpenFile& input,
                                   std::uint64_t fileBytes)
{
    if (DiskTooFull(context, fileBytes)) {
        input.Close();
        context.Dialogs.ShowMessage("Das Speichermedium ist voll !");
        ReportEnd(context, "");
        return ConversionOutcome::DiskFull;
    }

    const std::string outputPath = ConvertedPath(context.SourceName);
    OpenFile output(::open(outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (!output.IsOpen()) {
        const int error = errno;
        input.Close();
        return ReportFailure(context, error);
    }

    std::uint8_t header[TgaHeaderBytes];
    const ssize_t headerRead = ReadUpTo(input.Descriptor(), header, sizeof header);
    if (headerRead < 0) return ReportFailure(context, errno, input, output, outputPath);
    // A file shorter than its header cannot be a TGA file; reading past its end is an I/O error.
    if (headerRead < static_cast<ssize_t>(sizeof header)) return ReportFailure(context, EIO, input, output, outputPath);
    if (const int error = WriteAll(output.Descriptor(), header, sizeof header))
        return ReportFailure(context, error, input, output, outputPath);

    if (const int error = ConvertBlocks(kind, context, input.Descriptor(), output.Descriptor(), fileBytes))
        return ReportFailure(context, error, input, output, outputPath);

    if (const int error = input.Close()) return ReportFailure(context, error, input, output, outputPath);
    if (const int error = output.Close()) return ReportFailure(context, error, input, output, outputPath);
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
    case ConversionKind::ckRgbCmy: return RgbCmyPixel(pixel);
    case ConversionKind::ckToGrad: return ToGradPixel(pixel, tint);
    case ConversionKind::ckGradRgb: return GradRgbPixel(pixel, tint);
    case ConversionKind::ckGradCmy: return GradCmyPixel(pixel, tint);
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

    // Read and write access, so a write-protected file counts as not openable.
    OpenFile input(::open(context.SourceName.c_str(), O_RDWR | O_CLOEXEC));
    struct stat info {};
    const bool regular = input.IsOpen() && ::fstat(input.Descriptor(), &info) == 0 && S_ISREG(info.st_mode);
    if (!regular) {
        // A device or pipe would never reach its end.
        input.Close();
        context.Dialogs.ShowMessage("Grafikdatei" + context.SourceName + "kann nicht geöffnet werden !");
        ReportEnd(context, "");
        return ConversionOutcome::NotOpened;
    }
    return ConvertOpenInput(kind, context, input, static_cast<std::uint64_t>(info.st_size));
}

ConversionOutcome ConvertCommand(ConversionKind kind, ConversionContext& context)
{
    if (context.Running) return ConversionOutcome::Ignored;
    if (kind == ConversionKind::ckToGrad) {
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
