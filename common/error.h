#pragma once
#include "common/io_error.h"

#include <stdexcept>
#include <string>

namespace nimbra {

// The rule for failures, the same in every part of the program:
// - A command that cannot go on (a number that does not parse, an overflow, a failed write of
//   the image) throws Error. It is caught in two places only: Guarded, around each window
//   handler, and the main of the command-line programs.
// - A failure the program handles itself (a file it cannot read or write) is told to the user
//   through UserDialogs, and the operation says by its return type whether it succeeded: a
//   bool, a std::optional, an outcome enum, or beside what a reader kept of a file it could
//   not read whole, a flag. No caller infers a failure from the messages shown.

// "This command cannot go on": carries the German text the user reads.
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;

    static Error NotAnInteger(const std::string& text);  // "'12a' ist kein gültiger Integerwert"
    static Error NotAFloat(const std::string& text);     // "'1,2,3' ist kein gültiger Gleitkommawert"
    // The error of a Julia constant read while its fields are hidden, with a line saying where they are.
    static Error HiddenJuliaConstant(const Error& error);
    static Error FloatDivisionByZero();                  // "Gleitkommadivision durch Null"
    static Error InvalidFloatOperation();                // "Ungültige Gleitkommaoperation"
    static Error FloatOverflow();                        // "Gleitkommaüberlauf"
    static Error PointOutOfRange(int row, int column);   // a value of the iteration left the extended range
    static Error IntegerOverflow();                      // "Integerüberlauf"
    // "Integerüberlauf", then that the names from first to last are all taken
    static Error AllNamesTaken(const std::string& first, const std::string& last);
    static Error RangeCheck();                           // "Fehler bei Bereichsprüfung"
    // "E/A-Fehler 28", then the file and the reason: "/home/u/pix/nimbra003.tga: kein Platz mehr auf dem Datenträger"
    static Error Io(IoError error, const std::string& path);
    static Error Mpi(const std::string& reason);  // "MPI-Fehler: " and MPI's own text
    static Error Png(const std::string& reason);  // "PNG-Fehler: " and libpng's own text
    // "Rang 2 schickt Zeile 7 mit 35 statt 67 Werten", then that every machine needs the same build
    static Error UntrustedRank(int rank, const std::string& what);
};

}  // namespace nimbra
