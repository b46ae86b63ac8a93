#include "cli/tga_to_png.h"

#include "engine/named_image.h"
#include "common/error.h"
#include "common/file_descriptor.h"
#include "engine/png_output.h"
#include "engine/tga_output.h"

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

namespace nimbra {
namespace {

struct TgaSize {
    std::int32_t Width = 0;
    std::int32_t Height = 0;
};

std::int32_t LittleEndian16(const std::uint8_t* bytes) { return bytes[0] | bytes[1] << 8; }

// The size the header gives, when it is that of an image the program writes and the file holds
// all its pixels.
std::optional<TgaSize> ProgramImageSize(const std::uint8_t (&header)[TgaHeaderSize], std::uint64_t fileBytes)
{
    const TgaSize size{LittleEndian16(&header[12]), LittleEndian16(&header[14])};
    const std::array<std::uint8_t, TgaHeaderSize> expected = TgaHeader(size.Width, size.Height);
    if (!std::equal(expected.begin(), expected.end(), header)) return std::nullopt;
    if (fileBytes < TgaHeaderSize + static_cast<std::uint64_t>(size.Width) * size.Height * 3) return std::nullopt;
    return size;
}

}  // namespace

std::string PngPathFor(const std::string& tgaPath)
{
    const std::string ending = ".tga";
    return (HasEnding(tgaPath, ending) ? tgaPath.substr(0, tgaPath.size() - ending.size()) : tgaPath) + ".png";
}

ConversionOutcome ConvertTgaToPng(const std::string& tgaPath, std::int32_t dotsPerInch, UserDialogs& dialogs,
                                  Platform& platform, const std::function<bool()>& stopped)
{
    InputFile input = OpenInput(tgaPath);
    if (input.Error) {
        dialogs.ShowMessage(WithReason("Grafikdatei " + tgaPath + " kann nicht geöffnet werden !", input.Error));
        return ConversionOutcome::Failed;
    }
    std::uint8_t header[TgaHeaderSize] = {};
    const ReadResult headerRead = input.File.Read(header, sizeof header);
    const std::optional<TgaSize> size =
        headerRead.Bytes == sizeof header ? ProgramImageSize(header, input.SizeBytes) : std::nullopt;
    if (headerRead.Error || !size) {
        dialogs.ShowMessage(WithReason("Grafikdatei " + tgaPath +
                                           " ist kein unkomprimiertes 24-Bit-TGA-Bild, wie Nimbra es schreibt.",
                                       headerRead.Error));
        return ConversionOutcome::Failed;
    }
    const std::string pngPath = PngPathFor(tgaPath);
    try {
        std::optional<OutputFile> file = OpenNamedOutput(size->Width, size->Height, pngPath, dialogs, platform);
        if (!file) return ConversionOutcome::Failed;
        PngFile png(std::move(*file), pngPath, size->Width, size->Height, dotsPerInch);
        std::vector<std::uint8_t> row(static_cast<std::size_t>(size->Width) * 3);
        for (std::int32_t done = 0; done < size->Height; ++done) {
            if (stopped()) return ConversionOutcome::Stopped;  // the unfinished file is removed with png
            const ReadResult read = input.File.Read(row.data(), row.size());
            if (read.Error || read.Bytes < row.size()) throw Error::Io(read.Error ? read.Error : IoError(EIO), tgaPath);
            png.WriteRow(row.data());
        }
        png.Finish();
    } catch (const Error& error) {
        dialogs.ShowError(error.what());
        return ConversionOutcome::Failed;
    }
    dialogs.ShowMessage("Konvertierung beendet --> " + pngPath);
    return ConversionOutcome::Converted;
}

}  // namespace nimbra
