#include "engine/linearised_region.h"

#include "engine/proof_rounding.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace nimbra {
namespace {

using proof::RoundDown;
using proof::RoundUp;

// The bound on the rounding of a computed p_jk, and of Psi_j(w), for degrees up to MaxDegree.
constexpr double ComputedError = 0x1p-42;
constexpr std::uint32_t MaxDegree = 32;
// Radii are searched below the series' radius of convergence as its first and last terms
// suggest: from this share of it, smaller by the same share while that fails, then in this many
// halvings of the ratio.
constexpr double SearchShare = 1.0 / 16;
constexpr int SearchDrops = 10;
constexpr int RadiusSearchSteps = 7;
constexpr int StrongRadiusSearchSteps = 3;  // the radius is halved anyway
// The regions are made a little smaller than the largest that passes, leaving room for pixels
// nearby. Around a cycle that attracts strongly, an orbit enters a smaller region only a few
// passes later, while the room, which decides how many pixels nearby one region serves, grows
// several times: there they are made half as large.
constexpr double RadiusShare = 0.9375;
constexpr double StrongRadiusShare = 0.5;
constexpr double StrongContraction = 0.99;
constexpr double VeryStrongContraction = 0.5;
// Orbits near a cycle that attracts this weakly take hundreds of passes to settle.
constexpr double WeakContraction = 0.97;
// Newton's method on Psi_j for the state starts at w = z - v_j, where Psi_j is close to the
// identity, and stops when a step no longer matters beside the room the check leaves.
constexpr int NewtonSteps = 8;
constexpr double NewtonTolerance = 0x1p-30;
// Passes that cost about as much as a look with Newton's method.
constexpr double FewPasses = 32;
// Below this a radius would leave the normal range in its products.
constexpr double SmallestRadius = 0x1p-800;
constexpr double TinyPower = 0x1p-899;

// A longer series makes larger regions and costs the square of its degree for each point of
// the cycle; the size matters most where the cycle attracts weakly and orbits creep.
std::uint32_t DegreeFor(std::uint32_t period, bool strongly)
{
    if (strongly) return period <= 8 ? 8 : 6;
    if (period <= 2) return 16;
    if (period <= 8) return 12;
    if (period <= 40) return 10;
    return 8;
}

// At least |v^2 + K - next|, worked in extended precision.
double ConstantTermBound(Complex v, Complex next, const LinearisedRegion::PassConstant& constant)
{
    const long double real = v.Re, imag = v.Im;
    const long double termReal = (real * real - imag * imag) + constant.PixelReal + constant.OffsetReal - next.Re;
    const long double termImag = (real + real) * imag + constant.PixelImag + constant.OffsetImag - next.Im;
    const long double moduli = real * real + imag * imag + fabsl(constant.PixelReal) + fabsl(constant.PixelImag) +
                               fabsl(constant.OffsetReal) + fabsl(constant.OffsetImag) + fabsl(next.Re) +
                               fabsl(next.Im);
    return static_cast<double>(fabsl(termReal) + fabsl(termImag) + moduli * 0x1p-60L) * RoundUp;
}

}  // namespace

bool LinearisedRegion::Build(FormulaKind formula, const PassConstant& constant, long double constantsSize,
                             long double escapeLimit, const std::vector<Complex>& cycle, bool series)
{
    built_ = false;
    formula_ = formula;
    constant_ = constant;
    constantsSize_ = static_cast<double>(constantsSize) * RoundUp;
    safeLimit_ = proof::SafeLimit(escapeLimit);
    period_ = static_cast<std::uint32_t>(cycle.size());
    centres_ = cycle;
    factors_.resize(period_);
    centreModuli_.resize(period_);
    factorModuli_.resize(period_);
    Complex multiplier{1, 0};
    for (std::uint32_t j = 0; j < period_; ++j) {
        factors_[j] = 2 * centres_[j];
        multiplier = factors_[j] * multiplier;
        centreModuli_[j] = Modulus(centres_[j]) * RoundUp;
        factorModuli_[j] = Modulus(factors_[j]) * RoundUp;
    }
    contraction_ = Modulus(multiplier);
    roundsPerFactor_ = -1 / std::log(contraction_);
    degree_ = series ? std::min(DegreeFor(period_, AttractsStrongly()), MaxDegree) : 1;
    if (period_ == 0 || !(contraction_ < 1) || !SolveCoefficients(multiplier)) return false;
    BoundResiduals();
    built_ = ChooseRadii();
    if (built_) ChooseSlides(multiplier);
    return built_;
}

bool LinearisedRegion::SolveCoefficients(Complex multiplier)
{
    // Degree by degree: a_j+1,k lambda_j^k = lambda_j a_jk + (the square's k-th coefficient), and
    // around the cycle a_pk = a_0k; the residual p_jk of each as computed, with lambda_j^k by
    // repeated products as the bound asks.
    const std::uint32_t p = period_, n = degree_, row = n + 1, residualRow = 2 * n + 1;
    coefficients_.assign(static_cast<std::size_t>(p) * row, Complex{});
    residuals_.assign(static_cast<std::size_t>(p) * residualRow, 0);
    powers_ = factors_;
    inversePowers_.resize(p);
    inverseFactors_.resize(p);
    squares_.resize(p);
    for (std::uint32_t j = 0; j < p; ++j) {
        inverseFactors_[j] = Complex{1, 0} / factors_[j];
        inversePowers_[j] = inverseFactors_[j];
    }
    const Complex inverseMultiplier = Complex{1, 0} / multiplier;
    Complex cycleFactor{1, 0};  // multiplier^(1 - k): a_pk = alpha + cycleFactor a_0k
    auto a = [&](std::uint32_t j, std::uint32_t k) -> Complex& { return coefficients_[j * row + k]; };
    for (std::uint32_t j = 0; j < p; ++j) a(j, 1) = {1, 0};
    for (std::uint32_t k = 2; k <= n; ++k) {
        cycleFactor = cycleFactor * inverseMultiplier;
        Complex alpha{};
        for (std::uint32_t j = 0; j < p; ++j) {
            powers_[j] = powers_[j] * factors_[j];
            inversePowers_[j] = inversePowers_[j] * inverseFactors_[j];
            Complex square{};
            for (std::uint32_t i = 1; i < k - i; ++i) square = square + a(j, i) * a(j, k - i);
            square = 2 * square;
            if (k % 2 == 0) square = square + a(j, k / 2) * a(j, k / 2);
            squares_[j] = square;
            alpha = (factors_[j] * alpha + square) * inversePowers_[j];
        }
        a(0, k) = alpha / (Complex{1, 0} - cycleFactor);
        for (std::uint32_t j = 0; j < p; ++j) {
            const std::uint32_t next = (j + 1) % p;
            if (next != 0) a(next, k) = (factors_[j] * a(j, k) + squares_[j]) * inversePowers_[j];
            residuals_[j * residualRow + k] =
                ModulusBound(factors_[j] * a(j, k) + squares_[j] - powers_[j] * a(next, k));
        }
    }
    moduli_.resize(coefficients_.size());
    for (std::size_t i = 0; i < coefficients_.size(); ++i) {
        moduli_[i] = Modulus(coefficients_[i]) * RoundUp;
        if (!std::isfinite(moduli_[i])) return false;
    }
    return true;
}

void LinearisedRegion::BoundResiduals()
{
    // At least |p_jk|: the computed value and its rounding up to N, the square's coefficients
    // beyond; and the constant term.
    const std::uint32_t p = period_, n = degree_, row = n + 1, residualRow = 2 * n + 1;
    for (std::uint32_t j = 0; j < p; ++j) {
        const std::uint32_t next = (j + 1) % p;
        const double* m = &moduli_[j * row];
        const double* nextModuli = &moduli_[next * row];
        const double factor = factorModuli_[j];
        double factorPower = factor;
        double* residual = &residuals_[j * residualRow];
        residual[0] = ConstantTermBound(centres_[j], centres_[next], constant_);
        for (std::uint32_t k = 2; k <= 2 * n; ++k) {
            double squareModuli = 0;  // sum over i + l = k of |a_ji| |a_jl|
            const std::uint32_t first = std::max(1u, k - std::min(k - 1, n));
            for (std::uint32_t i = first; i < k - i; ++i) squareModuli += m[i] * m[k - i];
            squareModuli += squareModuli;
            if (k % 2 == 0 && k / 2 <= n) squareModuli += m[k / 2] * m[k / 2];
            factorPower *= factor;
            if (k <= n) {
                const double magnitude = factor * m[k] + squareModuli + factorPower * nextModuli[k];
                residual[k] = (residual[k] + ComputedError * magnitude) * RoundUp;
            } else {
                residual[k] = squareModuli * RoundUp;
            }
        }
    }
}

bool LinearisedRegion::ChooseRadii()
{
    // R_j+1 = |lambda_j| R_j g, g^p the square root of 1 / |multiplier|: half of the
    // contraction is room for the residuals, spread over the passes.
    const std::uint32_t p = period_, n = degree_;
    shares_.resize(p);
    const double growth = std::pow(contraction_, -0.5 / p);
    shares_[0] = 1;
    for (std::uint32_t j = 0; j + 1 < p; ++j) shares_[j + 1] = shares_[j] * Modulus(factors_[j]) * growth;
    radii_.resize(p);
    flexes_.resize(p);
    needs_.resize(p);
    reaches_.resize(p);
    lefts_.resize(p);

    // About where the series' terms grow as large as the first; discs reach as far as the
    // escape test allows.
    const double convergence = n == 1 ? 2 : std::min(1 / moduli_[2], std::pow(moduli_[n], -1.0 / (n - 1)));
    double failing = convergence, passing = convergence * SearchShare;
    for (int drop = 0; !CheckRadius(passing); ++drop) {
        if (drop == SearchDrops) return false;
        failing = passing;
        passing *= SearchShare;
    }
    const int steps = AttractsStrongly() ? StrongRadiusSearchSteps : RadiusSearchSteps;
    for (int step = 0; step < steps; ++step) {
        const double middle = std::sqrt(passing * failing);
        (CheckRadius(middle) ? passing : failing) = middle;
    }
    const double share = AttractsStrongly() ? StrongRadiusShare : RadiusShare;
    return CheckRadius(passing * share) || CheckRadius(passing);
}

bool LinearisedRegion::CheckRadius(double startRadius)
{
    // Region j's bounds, then the step from region j - 1 into it, which needs them; the step from
    // the last region into the first comes at the end.
    const std::uint32_t p = period_;
    double room = 1e300;
    for (std::uint32_t j = 0; j <= p; ++j) {
        if (j < p && !BoundRegion(j, startRadius)) return false;
        if (j == 0) continue;
        const std::uint32_t from = j - 1, to = j % p;
        const double pushed = factorModuli_[from] * radii_[from] * RoundUp;
        if (!(flexes_[to] < 1 && radii_[to] > pushed)) return false;
        const double gap = (radii_[to] - pushed) * RoundDown;
        const double left = gap * ((1 - flexes_[to]) * RoundDown) * RoundDown - needs_[from];
        if (!(left > 0)) return false;
        lefts_[from] = left;
        room = std::min(room, left);
    }
    room_ = room * RoundDown / (1 + 2 * proof::Gamma);
    return room_ > 0;
}

bool LinearisedRegion::BoundRegion(std::uint32_t j, double startRadius)
{
    const std::uint32_t n = degree_, row = n + 1, residualRow = 2 * n + 1;
    const double radius = radii_[j] = startRadius * shares_[j];
    if (!(radius >= SmallestRadius)) return false;
    const double* m = &moduli_[j * row];
    const double* residual = &residuals_[j * residualRow];
    // A power of a small radius may fall below the normal range, where it would lose its
    // digits: below 2^-899 it counts as 2^-899, which is more. Odd and even powers go apart, two
    // chains of products that need not wait for each other.
    const double square = radius * radius;
    double odd = radius, even = square;  // R_j^(2i - 1) and R_j^(2i)
    double flex = 0, flexEven = 0, delta = residual[0], deltaOdd = 0;
    for (std::uint32_t k = 2; k <= 2 * n; k += 2) {
        // R_j^(k - 1) = odd, R_j^k = even, R_j^(k + 1) = odd * square.
        if (k <= n) flex += k * m[k] * std::max(odd, TinyPower);
        if (k + 1 <= n) flexEven += (k + 1) * m[k + 1] * std::max(even, TinyPower);
        delta += residual[k] * std::max(even, TinyPower);
        odd *= square;
        if (k + 1 <= 2 * n) deltaOdd += residual[k + 1] * std::max(odd, TinyPower);
        even *= square;
    }
    flex += flexEven;
    delta += deltaOdd;
    flexes_[j] = flex * RoundUp;
    const double reach = reaches_[j] = (centreModuli_[j] + radius * (1 + flexes_[j])) * RoundUp;
    const double squares = reach * reach * RoundUp;
    needs_[j] = (delta * RoundUp + proof::PassRounding(squares, constantsSize_)) * RoundUp;
    return squares <= safeLimit_;
}

void LinearisedRegion::ChooseSlides(Complex multiplier)
{
    const std::uint32_t p = period_;
    slides_.assign(p, Complex{});
    if (formula_ == FormulaKind::Julia) return;  // every pixel has the same constant
    // A round of passes from v_0 adds to E_0 what comes back of each pass's 1; E_0 is where the
    // round leaves it as it is, and each pass takes E_j to E_j+1.
    std::vector<Complex> slides(p);
    Complex added{};
    for (std::uint32_t j = 0; j < p; ++j) added = factors_[j] * added + Complex{1, 0};
    slides[0] = added / (Complex{1, 0} - multiplier);
    for (std::uint32_t j = 0; j + 1 < p; ++j) slides[j + 1] = factors_[j] * slides[j] + Complex{1, 0};
    const double safeReach = std::sqrt(safeLimit_) * RoundDown;
    double room = 1e300;
    for (std::uint32_t j = 0; j < p; ++j) {
        const double slide = (Modulus(slides[j]) + 0x1p-1000) * RoundUp;
        const Complex& next = slides[(j + 1) % p];
        // A few roundings of 2^-53 each, on values below the moduli summed here.
        const double missed =
            (ModulusBound(factors_[j] * slides[j] + Complex{1, 0} - next) +
             0x1p-49 * (factorModuli_[j] * slide + 1 + ModulusBound(next)) + 0x1p-1000) *
            RoundUp;
        const double linear =
            (missed + 2 * radii_[j] * (1 + flexes_[j]) * slide + proof::Gamma * (4 * reaches_[j] * slide + 2)) *
            RoundUp;
        const double quadratic = slide * slide * (1 + 2 * proof::Gamma) * RoundUp;
        const double left = lefts_[j];
        double most = 2 * left / (linear + std::sqrt(linear * linear + 4 * quadratic * left)) * RoundDown * RoundDown;
        most = std::min(most, (safeReach - reaches_[j]) / slide * RoundDown);
        const double reach = (reaches_[j] + slide * most * RoundUp) * RoundUp;
        if (!(most > 0 && (linear * most + quadratic * most * most) * RoundUp <= left &&
              reach * reach * RoundUp <= safeLimit_))
            return;
        room = std::min(room, most);
    }
    if (room > room_) {
        slides_ = std::move(slides);
        room_ = room;
    }
}

bool LinearisedRegion::AttractsStrongly() const
{
    return contraction_ < StrongContraction;
}

bool LinearisedRegion::AttractsWeakly() const
{
    return contraction_ >= WeakContraction;
}

bool LinearisedRegion::AttractsVeryStrongly() const
{
    return contraction_ < VeryStrongContraction;
}

bool LinearisedRegion::Serves(FormulaKind formula, const PassConstant& constant) const
{
    if (!built_ || formula != formula_ || constant.OffsetReal != constant_.OffsetReal ||
        constant.OffsetImag != constant_.OffsetImag)
        return false;
    // RoundUp covers the rounded differences.
    const double distance = proof::UpperModulus(constant.PixelReal - constant_.PixelReal,
                                                constant.PixelImag - constant_.PixelImag) *
                            RoundUp;
    return distance < room_;
}

Complex LinearisedRegion::Psi(std::uint32_t j, Complex w) const
{
    const Complex* a = &coefficients_[j * (degree_ + 1)];
    Complex sum = a[degree_];
    for (std::uint32_t k = degree_ - 1; k >= 1; --k) sum = sum * w + a[k];
    return sum * w;
}

Complex LinearisedRegion::NewtonChange(std::uint32_t j, Complex w, Complex target) const
{
    const Complex* a = &coefficients_[j * (degree_ + 1)];
    Complex value = a[degree_], derivative = static_cast<double>(degree_) * a[degree_];
    for (std::uint32_t k = degree_ - 1; k >= 1; --k) {
        value = value * w + a[k];
        derivative = derivative * w + static_cast<double>(k) * a[k];
    }
    return (value * w - target) / derivative;
}

LinearisedRegion::Look LinearisedRegion::Locate(long double zr, long double zi, const PassConstant& constant) const
{
    const Complex apart{static_cast<double>(constant.PixelReal - constant_.PixelReal),
                        static_cast<double>(constant.PixelImag - constant_.PixelImag)};
    const Complex state{static_cast<double>(zr), static_cast<double>(zi)};
    std::uint32_t nearest = 0;
    double nearestDistance = 1e300;
    for (std::uint32_t j = 0; j < period_; ++j) {
        const double distance = ModulusBound(state - centres_[j] - slides_[j] * apart);
        if (distance < nearestDistance) {
            nearestDistance = distance;
            nearest = j;
        }
    }
    const Complex centre = centres_[nearest];
    const Complex plain{static_cast<double>(zr - centre.Re), static_cast<double>(zi - centre.Im)};
    const Complex shift = slides_[nearest] * apart;
    const Complex offset = plain - shift;
    // The offset from v_j + E_j Delta, rounded to double, and the shift's own roundings.
    const double lost = 0x1p-51 * ModulusBound(plain) + 0x1p-49 * ModulusBound(shift) + 0x1p-1000;
    const double radius = radii_[nearest], flex = flexes_[nearest];
    // By the lemma on the whole disc, S_j holds the disc of radius R_j (1 - eta_j) around v_j.
    const double distance = (Modulus(offset) + lost) * RoundUp;
    const double inner = radius * ((1 - flex) * RoundDown) * RoundDown;
    if (distance < inner) return {true, 0};
    // When the orbit gets that close in a few passes more, making them costs less than looking
    // closer.
    const double toInner = std::ceil(std::log(distance / inner) * roundsPerFactor_) * period_;
    if (toInner <= FewPasses) return {false, std::max(static_cast<std::uint32_t>(toInner), period_)};
    // Psi_j moves no point of its disc further out than R_j (1 + eta_j): a state further away
    // lies outside, and its distance tells about how far.
    Complex w = offset;
    if (distance <= radius * (1 + flex)) {
        for (int step = 0; step < NewtonSteps; ++step) {
            const Complex change = NewtonChange(nearest, w, offset);
            if (!IsFinite(change)) return {};
            w = w - change;
            if (ModulusBound(change) <= NewtonTolerance * radius) break;
        }
    }
    const double modulus = Modulus(w) * RoundUp;
    if (modulus < radius) {
        const double miss =
            (ModulusBound(Psi(nearest, w) - offset) + ComputedError * radius * (1 + flex) + lost) * RoundUp;
        if (miss < (radius - modulus) * RoundDown * ((1 - flex) * RoundDown) * RoundDown) return {true, 0};
        return {false, period_};
    }
    // The linearised coordinate shrinks by the multiplier's modulus in each round of the cycle.
    const double rounds = std::ceil(std::log(modulus / radius) * roundsPerFactor_);
    if (!(rounds < 1e6)) return {};
    return {false, static_cast<std::uint32_t>(rounds) * period_};
}

}  // namespace nimbra
