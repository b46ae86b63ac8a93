#include "engine/resume_record.h"

#include <cstring>
#include <limits>

namespace nimbra {
namespace {

constexpr char Magic[] = "NimbraRs";
constexpr std::size_t MagicSize = sizeof Magic - 1;
constexpr std::size_t HashSize = 8;
// The bytes of an 80-bit extended value; the rest of a long double's storage is padding.
constexpr std::size_t ExtendedBytes = 10;
static_assert(std::numeric_limits<long double>::digits == 64, "x87 extended precision");

void PutInteger(std::string& bytes, std::uint64_t value, std::size_t size)
{
    for (std::size_t i = 0; i < size; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::uint64_t GetInteger(const std::string& bytes, std::size_t at, std::size_t size)
{
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < size; ++i)
        value |= static_cast<std::uint64_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    return value;
}

void PutExtended(std::string& bytes, long double value)
{
    char raw[sizeof(long double)];
    std::memcpy(raw, &value, sizeof raw);
    bytes.append(raw, ExtendedBytes);
}

std::uint64_t Fnv1a(const std::string& bytes, std::size_t size)
{
    std::uint64_t hash = 0xcbf29ce484222325u;
    for (std::size_t i = 0; i < size; ++i) {
        hash ^= static_cast<unsigned char>(bytes[i]);
        hash *= 0x100000001b3u;
    }
    return hash;
}

}  // namespace

std::string EncodeResumeRecord(const ResumeRecord& record)
{
    std::string bytes(Magic, MagicSize);
    PutInteger(bytes, record.Parameters.size(), 4);
    bytes += record.Parameters;
    PutInteger(bytes, static_cast<std::uint32_t>(record.RowsDone), 4);
    PutInteger(bytes, Fnv1a(bytes, bytes.size()), HashSize);
    return bytes;
}

std::optional<ResumeRecord> DecodeResumeRecord(const std::string& bytes)
{
    if (bytes.size() < MagicSize + 4 + 4 + HashSize || bytes.compare(0, MagicSize, Magic) != 0) return std::nullopt;
    const std::size_t length = GetInteger(bytes, MagicSize, 4);
    if (bytes.size() != MagicSize + 4 + length + 4 + HashSize) return std::nullopt;
    const std::size_t hashAt = bytes.size() - HashSize;
    if (GetInteger(bytes, hashAt, HashSize) != Fnv1a(bytes, hashAt)) return std::nullopt;
    ResumeRecord record;
    record.Parameters = bytes.substr(MagicSize + 4, length);
    record.RowsDone = static_cast<std::int32_t>(GetInteger(bytes, MagicSize + 4 + length, 4));
    if (record.RowsDone < 0) return std::nullopt;
    return record;
}

std::string ImageParameterBytes(const FractalParams& params, int supersample, ImageFormat format,
                                std::int32_t dotsPerInch, const PaletteList& palette)
{
    std::string bytes;
    PutInteger(bytes, static_cast<std::uint8_t>(format), 1);
    PutInteger(bytes, static_cast<std::uint32_t>(dotsPerInch), 4);
    PutInteger(bytes, static_cast<std::uint32_t>(supersample), 4);
    PutInteger(bytes, LoadFormula(params), 1);
    PutInteger(bytes, static_cast<std::uint8_t>(params.Model), 1);
    PutInteger(bytes, params.Inverted ? 1 : 0, 1);
    PutInteger(bytes, static_cast<std::uint32_t>(params.Width), 4);
    PutInteger(bytes, static_cast<std::uint32_t>(params.Height), 4);
    PutInteger(bytes, static_cast<std::uint32_t>(params.MaxIterations), 4);
    PutInteger(bytes, params.DigitBase, 2);
    for (const long double value : {params.RealFrom, params.ImagFrom, params.RealTo, params.ImagTo, params.StepReal,
                                    params.StepImag, params.JuliaReal, params.JuliaImag})
        PutExtended(bytes, value);
    const bool gradient = params.Model == ColorModel::Grad;
    PutInteger(bytes, gradient ? palette.Nodes().size() : 0, 4);
    if (gradient) {
        for (const PaletteNode& node : palette.Nodes())
            bytes += {static_cast<char>(node.Red), static_cast<char>(node.Green), static_cast<char>(node.Blue),
                      static_cast<char>(node.Position)};
    }
    return bytes;
}

}  // namespace nimbra
