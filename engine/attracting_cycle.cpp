#include "engine/attracting_cycle.h"

namespace nimbra {
namespace {

constexpr int NewtonSteps = 12;
// Passes that stretch small changes this much are nowhere near an attracting cycle.
constexpr double Expanding = 2;
// A state this far out has left every cycle behind.
constexpr double FarOut = 16;

Complex PrincipalRoot(Complex w)
{
    // A modulus that overflows leaves no cycle attracting, as it should.
    const double modulus = Modulus(w);
    return {std::sqrt((modulus + w.Re) / 2), std::copysign(std::sqrt((modulus - w.Re) / 2), w.Im)};
}

// The fixed points of z^2 + K are (1 -+ sqrt(1 - 4K)) / 2 with multipliers 1 -+ sqrt(1 - 4K),
// which add up to 2: only the one with the principal root can attract.
Complex AttractingFixedPoint(Complex constant)
{
    const Complex root = PrincipalRoot({1 - 4 * constant.Re, -4 * constant.Im});
    return {(1 - root.Re) / 2, -root.Im / 2};
}

bool FindAttractingFixedPoint(Complex constant, std::vector<Complex>& points)
{
    const Complex fixed = AttractingFixedPoint(constant);
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

KnownCycle FindKnownCycle(Complex constant)
{
    KnownCycle cycle;
    if (!InKnownComponent(constant)) return cycle;
    const Complex fixed = AttractingFixedPoint(constant);
    const double fixedMultiplier = Modulus(2 * fixed);
    if (fixedMultiplier < 1) {
        cycle.Period = 1;
        cycle.Points[0] = cycle.Points[1] = fixed;
        cycle.Multiplier = fixedMultiplier;
        return cycle;
    }
    // The cycle of two solves z^2 + z + K + 1 = 0; its multiplier 4 z0 z1 is 4 (K + 1).
    const double twoMultiplier = 4 * Modulus({constant.Re + 1, constant.Im});
    if (!(twoMultiplier < 1)) return cycle;
    const Complex root = PrincipalRoot({-3 - 4 * constant.Re, -4 * constant.Im});
    cycle.Period = 2;
    cycle.Points[0] = {(root.Re - 1) / 2, root.Im / 2};
    cycle.Points[1] = {(-root.Re - 1) / 2, -root.Im / 2};
    cycle.Multiplier = twoMultiplier;
    return cycle;
}

}  // namespace nimbra
