#include "dialogs/start_failure.h"

namespace nimbra {
namespace {

// The file reasons say too little here: the file may well be there and readable.
std::string StartReason(IoError error)
{
    switch (error.Number()) {
    case ENOENT: return "das Programm ist nicht vorhanden";
    case EACCES:
    case EPERM: return "die Datei darf nicht als Programm ausgeführt werden";
    case ENOEXEC: return "die Datei ist kein ausführbares Programm";
    default: return IoReason(error);
    }
}

}  // namespace

std::string BrowserFailureMessage(const std::string& program, int exitStatus)
{
    std::string reason;
    switch (exitStatus) {
    case 3: reason = "kein Programm gefunden, das die Seite öffnen kann"; break;
    case 4: reason = "die Seite konnte nicht geöffnet werden"; break;
    default: reason = "das Programm endete mit dem Status " + std::to_string(exitStatus); break;
    }
    return "Der Browser " + program + " hat die Seite nicht geöffnet !\n" + reason;
}

std::string StartFailureMessage(const std::string& who, const std::string& program, IoError error)
{
    return who + " " + program + " kann nicht gestartet werden !\n" + StartReason(error);
}

}  // namespace nimbra
