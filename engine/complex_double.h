#pragma once
#include <cmath>

namespace nimbra {

// Complex numbers in doubles for the guesses and bounds of the proofs, with the plain formulas:
// the library's product checks for infinities in every call, and these run in inner loops.
struct Complex {
    double Re = 0, Im = 0;
};

inline Complex operator+(Complex a, Complex b)
{
    return {a.Re + b.Re, a.Im + b.Im};
}
inline Complex operator-(Complex a, Complex b)
{
    return {a.Re - b.Re, a.Im - b.Im};
}
inline Complex operator*(Complex a, Complex b)
{
    return {a.Re * b.Re - a.Im * b.Im, a.Re * b.Im + a.Im * b.Re};
}
inline Complex operator*(double s, Complex a)
{
    return {s * a.Re, s * a.Im};
}
inline Complex operator/(Complex a, Complex b)
{
    const double norm = b.Re * b.Re + b.Im * b.Im;
    return {(a.Re * b.Re + a.Im * b.Im) / norm, (a.Im * b.Re - a.Re * b.Im) / norm};
}
inline double Modulus(Complex a)
{
    return std::sqrt(a.Re * a.Re + a.Im * a.Im);
}
// At least the modulus, and cheaper: |Re| + |Im|.
inline double ModulusBound(Complex a)
{
    return std::fabs(a.Re) + std::fabs(a.Im);
}
inline bool IsFinite(Complex a)
{
    return std::isfinite(a.Re) && std::isfinite(a.Im);
}

}  // namespace nimbra
