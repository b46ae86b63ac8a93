#include "common/io_error.h"

namespace nimbra {

namespace {

std::string FileReason(IoError error)
{
    switch (error.Number()) {
    case ENOSPC: return "kein Platz mehr auf dem Datenträger";
    case EDQUOT: return "das Speicherkontingent ist erschöpft";
    case EACCES:
    case EPERM: return "keine Berechtigung";
    case EROFS: return "das Dateisystem ist schreibgeschützt";
    case ENOENT: return "Datei oder Ordner nicht vorhanden";
    case EISDIR: return "ist ein Ordner";
    case ENAMETOOLONG: return "der Name ist zu lang";
    case ENOTDIR: return "ein Teil des Pfades ist kein Ordner";
    case ELOOP: return "zu viele symbolische Verknüpfungen hintereinander";
    case NotAPlainFile: return "keine gewöhnliche Datei, sondern eine Pipe, ein Gerät oder ein Socket";
    case ENXIO: return "niemand liest aus der Pipe, oder das Gerät fehlt";
    case EFBIG: return "die Datei wird zu groß";
    case EIO: return "Lese- oder Schreibfehler";
    case FileTooShort: return "die Datei ist zu kurz oder beschädigt";
    case EPIPE: return "der Leser hat die Pipe geschlossen, bevor alles geschrieben war";
    default: return "Dateizugriff nicht möglich (Systemfehler " + std::to_string(error.Number()) + ")";
    }
}

}  // namespace

std::string IoReason(IoError error)
{
    return error.IsInFolder() ? "der Ordner lässt keine neue Datei zu: " + FileReason(error) : FileReason(error);
}

std::string LowSpaceReason(const std::string& path, std::uint64_t neededBytes, const std::string& volumeFolder,
                           std::uint64_t freeBytes)
{
    return path + " braucht " + std::to_string(neededBytes) + " Bytes, auf dem Datenträger von " + volumeFolder +
           " sind " + std::to_string(freeBytes) + " frei";
}

std::string WithReason(const std::string& text, IoError error)
{
    return error ? text + "\n" + IoReason(error) : text;
}

}  // namespace nimbra
