#include "files/config_file.h"

#include "common/byte_file.h"
#include "common/error.h"
#include "common/number_text.h"
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

void WriteConfigurationFile(const std::string& fileName, const ConfigRecord& record, const PaletteList& palette,
                            UserDialogs& dialogs)
{
    const std::string notSaved = "Kann Konfiguration " + fileName + " nicht speichern !";
    ByteWriter file(fileName);
    if (!file.IsOpen()) dialogs.ShowMessage("Kann Konfiguration " + fileName + " nicht öffnen !");
    if (!file.Write(FileMagic.data(), FileMagic.size())) dialogs.ShowMessage(notSaved);
    const std::array<std::uint8_t, ConfigRecordSize> bytes = EncodeConfigRecord(record);
    if (!file.Write(bytes.data(), bytes.size())) dialogs.ShowMessage(notSaved);
    if (HasNodeBlock(bytes)) {
        const std::vector<std::uint8_t> nodes = NodeBlockBytes(palette);
        if (!nodes.empty() && !file.Write(nodes.data(), nodes.size()))
            dialogs.ShowMessage("Fehler beim Schreiben der Palette in " + fileName + " !");
    }
    if (!file.Close()) dialogs.ShowMessage("Kann Datei " + fileName + " nicht schließen !");
}

std::optional<ConfigRecord> ReadConfigurationFile(const std::string& fileName, PaletteList& palette,
                                                  UserDialogs& dialogs)
{
    const std::string readFailed = "Fehler beim Lesen der Palette in " + fileName + " !";
    ByteReader file(fileName);
    std::array<std::uint8_t, FileMagic.size()> magic{};
    const bool magicRead = file.Read(magic.data(), magic.size()) == magic.size();
    if (!magicRead) dialogs.ShowMessage(readFailed);

    std::optional<ConfigRecord> record;
    if (magicRead && magic == FileMagic) {
        std::array<std::uint8_t, ConfigRecordSize> bytes{};
        if (file.Read(bytes.data(), bytes.size()) != bytes.size()) {
            // A record cut short would put values into the fields that nobody saved.
            dialogs.ShowMessage(readFailed);
        } else {
            record = DecodeConfigRecord(bytes);
            if (HasNodeBlock(bytes)) {
                palette.ClearPalette();
                if (!ReadNodeBlock(file, palette)) dialogs.ShowMessage(readFailed);
            }
        }
    } else {
        dialogs.ShowMessage(fileName + " hat falsches Dateiformat !");
    }
    if (!file.Close()) dialogs.ShowMessage("Kann Datei " + fileName + " nicht schließen !");
    return record;
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
