#include "engine/early_escape.h"

#include "engine/proof_rounding.h"

#include <cmath>
#include <emmintrin.h>

namespace nimbra {

// Why a count decided here is the plain loop's.
//
// The kernel's pass maps its state Z to Z^2 + K + e, e its rounding in extended precision; the
// pass here, in doubles, maps W to W^2 + K' + e', K' the constant in doubles. By
// proof_rounding.h's argument, with u = 2^-64 and 2^-53, |e| <= 5u (2S + C) for S >= |Z|^2 and
// C the sum of the absolute values of the constants the kernel's pass adds, and the same for
// e'. The double constant is the point rounded plus the offset rounded, or the Julia constant
// rounded, and the sum rounded once more: |K - K'| <= 2^-51 C. So with |Z - W| <= eps and
// m >= |W|:
//   |Z' - W'| <= |Z - W| |Z + W| + |K - K'| + |e| + |e'|
//            <= eps (2m + eps) + 2^-49 ((m + eps)^2 + C)  =: eps'.
// At the start the double state is the kernel's rounded, off by at most 2^-53 in each part.
// The plain loop's escape test after a pass rounds the two squares and their sum, so it fails
// when |Z|^2 < 4 (1 - 2^-62) and holds when |Z|^2 >= 4 (1 + 2^-62). From the doubles'
// q = wr^2 + wi^2, sqrt(q) (1 - 2^-51) <= |W| <= sqrt(q) (1 + 2^-51) + 2^-500 (the last for
// squares below the normal range), and |W| - eps <= |Z| <= |W| + eps. So when after every pass
// before the k-th (m + eps)^2 stays below 4 (1 - 2^-50), and after the k-th
// (|W| - eps)^2 exceeds 4 (1 + 2^-50), the plain loop escapes in pass k, and counts k - 1; its
// state there is finite. Every bound is worked out in doubles and rounded up by RoundUp, as
// proof_rounding.h says; starts and constants beyond 2^400, whose squares could leave the
// doubles' range, are not decided, nor orbits whose eps grows beyond 2^-30.
namespace {

using Pair = double __attribute__((vector_size(16)));
using PairMask = long long __attribute__((vector_size(16)));
constexpr std::size_t Pairs = EarlyBlock / 2;
constexpr double Largest = 0x1p400;
constexpr double WidestGap = 0x1p-30;

Pair Splat(double value)
{
    return Pair{value, value};
}

Pair Sqrt(Pair value)
{
    return _mm_sqrt_pd(value);
}

int Lanes(PairMask mask)
{
    return _mm_movemask_pd(reinterpret_cast<__m128d>(mask));
}

}  // namespace

void DecideEarlyEscapes(const std::array<EarlyOrbit, EarlyBlock>& orbits, std::int32_t passes,
                        std::array<std::int32_t, EarlyBlock>& counts)
{
    counts.fill(Undecided);
    Pair wr[Pairs], wi[Pairs], kr[Pairs], ki[Pairs], constantsShare[Pairs], gaps[Pairs];
    for (std::size_t i = 0; i < EarlyBlock; ++i) {
        const EarlyOrbit& orbit = orbits[i];
        const double startSize = std::fabs(orbit.StartReal) + std::fabs(orbit.StartImag);
        const double constantsSize = orbit.ConstantsSize * proof::RoundUp;
        if (!(startSize < Largest && constantsSize < Largest)) return;
        const std::size_t pair = i / 2, lane = i % 2;
        wr[pair][lane] = orbit.StartReal;
        wi[pair][lane] = orbit.StartImag;
        kr[pair][lane] = orbit.ConstantReal;
        ki[pair][lane] = orbit.ConstantImag;
        constantsShare[pair][lane] = 0x1p-49 * constantsSize + 0x1p-1000;
        gaps[pair][lane] = (0x1p-52 * startSize + 0x1p-1000) * proof::RoundUp;
    }
    const Pair up = Splat(proof::RoundUp), down = Splat(proof::RoundDown);
    const Pair below = Splat(4 * (1 - 0x1p-50)), above = Splat(4 * (1 + 0x1p-50));
    Pair sr[Pairs], si[Pairs], moduli[Pairs];
    PairMask open[Pairs];  // orbits below the escape test after every pass so far
    for (std::size_t p = 0; p < Pairs; ++p) {
        sr[p] = wr[p] * wr[p];
        si[p] = wi[p] * wi[p];
        moduli[p] = Sqrt(sr[p] + si[p]) * Splat(1 + 0x1p-51) + Splat(0x1p-500);
        open[p] = PairMask{-1, -1};
    }
    for (std::int32_t pass = 1; pass <= passes; ++pass) {
        bool anyOpen = false;
        for (std::size_t p = 0; p < Pairs; ++p) {
            const Pair reach = (moduli[p] + gaps[p]) * up;
            gaps[p] =
                (gaps[p] * (moduli[p] + moduli[p] + gaps[p]) + Splat(0x1p-49) * reach * reach + constantsShare[p]) * up;
            wi[p] = (wr[p] * 2) * wi[p] + ki[p];
            wr[p] = (sr[p] - si[p]) + kr[p];
            sr[p] = wr[p] * wr[p];
            si[p] = wi[p] * wi[p];
            const Pair root = Sqrt(sr[p] + si[p]);
            moduli[p] = root * Splat(1 + 0x1p-51) + Splat(0x1p-500);
            const Pair least = (root * Splat(1 - 0x1p-51) - gaps[p]) * down;
            const Pair most = (moduli[p] + gaps[p]) * up;
            const PairMask narrow = gaps[p] < Splat(WidestGap);
            const PairMask escapes = open[p] & narrow & (least * least * down > above);
            if (const int lanes = Lanes(escapes)) [[unlikely]] {
                for (std::size_t lane = 0; lane < 2; ++lane)
                    if (lanes & (1 << lane)) counts[2 * p + lane] = pass - 1;
            }
            open[p] = open[p] & narrow & (most * most * up < below);
            anyOpen |= Lanes(open[p]) != 0;
        }
        if (!anyOpen) return;
    }
}

}  // namespace nimbra
