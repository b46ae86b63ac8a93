#include "files/config_file.h"

#include "common/error.h"
#include "common/file_descriptor.h"
#include "common/number_text.h"
#include "common/output_file.h"
#include "files/palette_file.h"

#include <bit>
#include <cstring>
#include <limits>
#include <vector>

namespace nimbra {
namespace {

// The record stores long double's own bytes, so it must be the x87 80-bit format on a
// little-endian machine.
static_assert(std::numeric_limits<long double>::digits == 64 && std::numeric_limits<long double>::max_exponent == 16384,
              "configuration files store x87 80-bit extended values");
static_assert(std::endian::native == std::endian::little, "configuration files are little-endian");

constexpr std::size_t ExtendedSize = 10;  // the bytes after them in a long double are padding

constexpr std::uint8_t ModelBits = 0x03;
constexpr std::uint8_t InvertedBit = 0x04;
constexpr std::uint8_t PreviewBit = 0x80;

std::uint8_t ModeByte(const ConfigRecord& record)
{
    return static_cast<std::uint8_t>(static_cast<std::uint8_t>(record.Model) | (record.Inverted ? InvertedBit : 0) |
                                     (record.Preview ? PreviewBit : 0));
}

// The node block follows only for the palette model with neither inversion nor preview. The
// whole mode byte is compared, so a file with any of bits 3-6 set has none.
bool HasNodeBlock(const std::array<std::uint8_t, ConfigRecordSize>& bytes) { return bytes[0] == 2; }

class RecordWriter {
public:
    explicit RecordWriter(std::array<std::uint8_t, ConfigRecordSize>& bytes) : bytes_(bytes) {}
    template <typename T> void Put(const T& value, std::size_t size = sizeof(T))
    {
        std::memcpy(bytes_.data() + offset_, &value, size);
        offset_ += size;
    }
    void PutExtended(long double value) { Put(value, ExtendedSize); }

private:
    std::array<std::uint8_t, ConfigRecordSize>& bytes_;
    std::size_t offset_ = 0;
};

class RecordReader {
public:
    explicit RecordReader(const std::array<std::uint8_t, ConfigRecordSize>& bytes) : bytes_(bytes) {}
    template <typename T> T Get(std::size_t size = sizeof(T))
    {
        T value{};
        std::memcpy(&value, bytes_.data() + offset_, size);
        offset_ += size;
        return value;
    }
    long double GetExtended() { return Get<long double>(ExtendedSize); }

private:
    const std::array<std::uint8_t, ConfigRecordSize>& bytes_;
    std::size_t offset_ = 0;
};

std::uint16_t StoredSize(std::int32_t pixels)
{
    if (pixels < 0 || pixels > std::numeric_limits<std::uint16_t>::max()) throw Error::RangeCheck();
    return static_cast<std::uint16_t>(pixels);
}

}  // namespace

std::array<std::uint8_t, ConfigRecordSize> EncodeConfigRecord(const ConfigRecord& record)
{
    std::array<std::uint8_t, ConfigRecordSize> bytes{};
    RecordWriter out(bytes);
    out.Put(ModeByte(record));
    out.Put(record.Formula);
    out.Put(record.Width);
    out.Put(record.Height);
    out.Put(record.MaxIterations);
    for (long double value : {record.RealFrom, record.ImagFrom, record.RealTo, record.ImagTo, record.JuliaReal,
                              record.JuliaImag})
        out.PutExtended(value);
    return bytes;
}

ConfigRecord DecodeConfigRecord(const std::array<std::uint8_t, ConfigRecordSize>& bytes)
{
    RecordReader in(bytes);
    ConfigRecord record;
    const auto mode = in.Get<std::uint8_t>();
    record.Model = static_cast<ColorModel>(mode & ModelBits);
    record.Inverted = (mode & InvertedBit) != 0;
    record.Preview = (mode & PreviewBit) != 0;
    record.Formula = in.Get<std::uint8_t>();
    record.Width = in.Get<std::uint16_t>();
    record.Height = in.Get<std::uint16_t>();
    record.MaxIterations = in.Get<std::int32_t>();
    for (long double* value : {&record.RealFrom, &record.ImagFrom, &record.RealTo, &record.ImagTo, &record.JuliaReal,
                               &record.JuliaImag})
        *value = in.GetExtended();
    return record;
}

ConfigRecord BuildConfigRecord(const FractalParams& params)
{
    ConfigRecord record;
    record.Model = params.Model;
    record.Inverted = params.Inverted;
    record.Preview = params.Preview;
    record.Formula = params.Formula;
    record.Width = StoredSize(params.Width);
    record.Height = StoredSize(params.Height);
    record.MaxIterations = params.MaxIterations;
    record.RealFrom = params.RealFrom;
    record.ImagFrom = params.ImagFrom;
    record.RealTo = params.RealTo;
    record.ImagTo = params.ImagTo;
    record.JuliaReal = params.JuliaReal;
    record.JuliaImag = params.JuliaImag;
    return record;
}

bool WriteConfigurationFile(const std::string& fileName, const ConfigRecord& record, const PaletteList& palette,
                            UserDialogs& dialogs)
{
    OutputFile file = OutputFile::Replacing(fileName);
    const bool opened = file.IsOpen();
    if (!opened)
        dialogs.ShowWarning(WithReason("Kann Konfiguration " + fileName + " nicht öffnen !", file.OpenError()));
    // A file that could not be created has nothing to say about each later step but that it failed.
    const auto report = [&](const std::string& text, IoError error) {
        dialogs.ShowWarning(opened ? WithReason(text, error) : text);
    };
    bool written = true;
    const auto write = [&](const std::uint8_t* bytes, std::size_t count, const std::string& failed) {
        if (const IoError error = file.Write(bytes, count)) {
            written = false;
            report(failed, error);
        }
    };
    const std::string notSaved = "Kann Konfiguration " + fileName + " nicht speichern !";
    write(FileMagic.data(), FileMagic.size(), notSaved);
    const std::array<std::uint8_t, ConfigRecordSize> bytes = EncodeConfigRecord(record);
    write(bytes.data(), bytes.size(), notSaved);
    if (HasNodeBlock(bytes)) {
        const std::vector<std::uint8_t> nodes = NodeBlockBytes(palette);
        const std::string failed = "Fehler beim Schreiben der Palette in " + fileName + " !";
        if (!nodes.empty()) write(nodes.data(), nodes.size(), failed);
    }
    // After a failed write the older file stays as it was, and that failure has been told.
    const IoError closing = file.Commit();
    if (closing && (!opened || written)) report("Kann Datei " + fileName + " nicht schließen !", closing);
    return opened && written && !closing;
}

ConfigurationRead ReadConfigurationFile(const std::string& fileName, PaletteList& palette, UserDialogs& dialogs)
{
    const std::string readFailed = "Fehler beim Lesen der Palette in " + fileName + " !";
    const FileContent content = ReadWholeFile(fileName);
    ConfigurationRead read;
    if (!content.Opened) {
        // Nothing was read: there is no format to judge and no file to close.
        dialogs.ShowWarning(WithReason(readFailed, content.Error));
        return read;
    }
    const std::string& bytes = content.Bytes;
    const bool magicRead = bytes.size() >= FileMagic.size();
    if (!magicRead) dialogs.ShowWarning(WithReason(readFailed, content.Error));

    bool nodesRead = true;
    constexpr std::size_t NodesStart = FileMagic.size() + ConfigRecordSize;
    if (magicRead && StartsWithFileMagic(bytes)) {
        if (bytes.size() < NodesStart) {
            // A record cut short would put values into the fields that nobody saved.
            dialogs.ShowWarning(WithReason(readFailed, content.Error));
        } else {
            std::array<std::uint8_t, ConfigRecordSize> recordBytes{};
            std::memcpy(recordBytes.data(), bytes.data() + FileMagic.size(), ConfigRecordSize);
            read.Record = DecodeConfigRecord(recordBytes);
            if (HasNodeBlock(recordBytes)) {
                palette.ClearPalette();
                nodesRead = ReadNodeBlock(bytes, NodesStart, palette) && !content.Error;
                if (!nodesRead) dialogs.ShowWarning(WithReason(readFailed, content.Error));
            }
        }
    } else {
        dialogs.ShowWarning(fileName + " hat falsches Dateiformat !");
    }
    read.Complete = read.Record && nodesRead;
    return read;
}

ParamFields ConfigFieldTexts(const ConfigRecord& record, char decimalSeparator)
{
    ParamFields fields;
    fields.Width = std::to_string(record.Width);
    fields.Height = std::to_string(record.Height);
    fields.Iterations = std::to_string(record.MaxIterations);
    fields.RealFrom = FormatGeneral(record.RealFrom, decimalSeparator);
    fields.RealTo = FormatGeneral(record.RealTo, decimalSeparator);
    fields.ImagFrom = FormatGeneral(record.ImagFrom, decimalSeparator);
    fields.ImagTo = FormatGeneral(record.ImagTo, decimalSeparator);
    fields.JuliaReal = FormatGeneral(record.JuliaReal, decimalSeparator);
    fields.JuliaImag = FormatGeneral(record.JuliaImag, decimalSeparator);
    fields.Model = record.Model;
    fields.Inverted = record.Inverted;
    fields.Preview = record.Preview;
    return fields;
}

std::string ConfigCaption(const std::string& fileName)
{
    return "Nimbra - " + fileName.substr(fileName.find_last_of('/') + 1);
}

}  // namespace nimbra
