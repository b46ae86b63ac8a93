#include "common/error.h"

namespace nimbra {

Error Error::NotAnInteger(const std::string& text) { return Error("'" + text + "' ist kein gültiger Integerwert"); }
Error Error::NotAFloat(const std::string& text) { return Error("'" + text + "' ist kein gültiger Gleitkommawert"); }
Error Error::HiddenJuliaConstant(const Error& error)
{
    return Error(std::string(error.what()) +
                 "\nes ist eine Konstante der Julia Menge, die auch für diese Formel gelesen wird");
}
Error Error::FloatDivisionByZero() { return Error("Gleitkommadivision durch Null"); }
Error Error::InvalidFloatOperation() { return Error("Ungültige Gleitkommaoperation"); }
Error Error::FloatOverflow() { return Error("Gleitkommaüberlauf"); }
Error Error::PointOutOfRange(int row, int column)
{
    return Error("Gleitkommaüberlauf in Zeile " + std::to_string(row) + ", Spalte " + std::to_string(column) +
                 ": ein Wert der Iteration verlässt den Zahlenbereich");
}
Error Error::IntegerOverflow() { return Error("Integerüberlauf"); }
Error Error::AllNamesTaken(const std::string& first, const std::string& last)
{
    return Error("Integerüberlauf\nalle Namen von " + first + " bis " + last +
                 " sind vergeben: bitte Bilder verschieben oder löschen");
}
Error Error::RangeCheck() { return Error("Fehler bei Bereichsprüfung"); }
Error Error::Io(IoError error, const std::string& path)
{
    // A file too short for its format met no failing system call: no system error number to
    // show. Appended piece by piece: g++ 12 warns wrongly about a chain of + here.
    std::string text = "E/A-Fehler";
    if (error.Number() != FileTooShort) {
        text += ' ';
        text += std::to_string(error.Number());
    }
    text += '\n';
    text += path;
    text += ": ";
    text += IoReason(error);
    return Error(text);
}

Error Error::Mpi(const std::string& reason) { return Error("MPI-Fehler: " + reason); }
Error Error::UntrustedRank(int rank, const std::string& what)
{
    return Error("Rang " + std::to_string(rank) + " " + what +
                 "\nJeder Rechner braucht denselben Stand von nimbra-mpi unter demselben Pfad; es wurde keine Datei "
                 "geschrieben.");
}
Error Error::Png(const std::string& reason) { return Error("PNG-Fehler: " + reason); }

}  // namespace nimbra
