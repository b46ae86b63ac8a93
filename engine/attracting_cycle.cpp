#include "engine/attracting_cycle.h"

namespace nimbra {
namespace {

constexpr int NewtonSteps = 12;
// Passes that stretch small changes this much are nowhere near an attracting cycle.
constexpr double Expanding = 2;
// A state this far out has left every cycle behind.
constexpr double FarOut = 16;

// The fixed points of z^2 + K are (1 -+ sqrt(1 - 4K)) / 2 with multipliers 1 -+ sqrt(1 - 4K),
// which add up to 2: only the one with the principal root can attract.
bool FindAttractingFixedPoint(Complex constant, std::vector<Complex>& points)
{
    const double a = 1 - 4 * constant.Re, b = -4 * constant.Im;
    const double modulus = std::hypot(a, b);
    const Complex root{std::sqrt((modulus + a) / 2), std::copysign(std::sqrt((modulus - a) / 2), b)};
    const Complex fixed{(1 - root.Re) / 2, -root.Im / 2};
    points.assign(1, fixed);
    return Modulus(2 * fixed) < 1;
}

}  // namespace

bool FindAttractingCycle(Complex constant, std::uint32_t period, Complex start, std::vector<Complex>& points)
{
    if (period == 1) return FindAttractingFixedPoint(constant, points);
    Complex z = start;
    bool settled = false;
    double lastChange = 1e300;
    for (int step = 0; step < NewtonSteps && !settled; ++step) {
        Complex image = z, derivative{1, 0};
        for (std::uint32_t pass = 0; pass < period; ++pass) {
            derivative = 2 * image * derivative;
            image = image * image + constant;
            if (!(ModulusBound(image) < FarOut)) return false;
        }
        // Near an attracting cycle the passes shrink small changes, and each step of Newton's
        // method at least halves the last: where neither holds, the search is given up early.
        if (step > 0 && ModulusBound(derivative) > Expanding) return false;
        const Complex change = (image - z) / (derivative - Complex{1, 0});
        const double size = ModulusBound(change);
        if (!IsFinite(change) || (step > 1 && size > lastChange / 2)) return false;
        z = z - change;
        lastChange = size;
        // Newton's method leaves an error of about the square of its last change.
        settled = size <= 0x1p-30 * (1 + ModulusBound(z));
    }
    if (!settled) return false;
    points.assign(1, z);
    for (std::uint32_t pass = 1; pass <= period; ++pass) points.push_back(points.back() * points.back() + constant);
    // The shortest return to the start is the cycle's own period.
    std::uint32_t own = period;
    for (std::uint32_t length = 1; length < period; ++length) {
        if (period % length == 0 && ModulusBound(points[length] - z) <= 0x1p-36 * (1 + ModulusBound(z))) {
            own = length;
            break;
        }
    }
    points.resize(own);
    Complex multiplier{1, 0};
    for (const Complex point : points) multiplier = 2 * point * multiplier;
    return Modulus(multiplier) < 1;
}

}  // namespace nimbra
