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
// when |Z|^2 < 4 (1 - 2^-62) and holds when |Z|^2 >= 4 (1 + 2^-62). The doubles' rounded
// q = wr^2 + wi^2 gives q (1 - 2^-51) <= |W|^2 <= q (1 + 2^-51) + 2^-1000 (the last for squares
// below the normal range), and 2|W| <= |W|^2 + 1, with no square root; and
// (|W| - eps)^2 <= |Z|^2 <= (|W| + eps)^2. So when after every pass before the k-th
// |W|^2 + 2|W| eps + eps^2 stays below 4 (1 - 2^-50), and after the k-th |W|^2 - 2|W| eps
// exceeds 4 (1 + 2^-50), the plain loop escapes in pass k, and counts k - 1; its state there is
// finite. Every bound is worked out in doubles and rounded up by RoundUp, as
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

Pair Abs(Pair value)
{
    return _mm_andnot_pd(Splat(-0.0), value);
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
    // Whole pairs at once: a pair written a lane at a time would wait for both stores.
    for (std::size_t p = 0; p < Pairs; ++p) {
        const EarlyOrbit& first = orbits[2 * p];
        const EarlyOrbit& second = orbits[2 * p + 1];
        wr[p] = Pair{first.StartReal, second.StartReal};
        wi[p] = Pair{first.StartImag, second.StartImag};
        kr[p] = Pair{first.ConstantReal, second.ConstantReal};
        ki[p] = Pair{first.ConstantImag, second.ConstantImag};
        const Pair startSize = Abs(wr[p]) + Abs(wi[p]);
        const Pair constantsSize = Pair{first.ConstantsSize, second.ConstantsSize} * Splat(proof::RoundUp);
        if (Lanes((startSize < Splat(Largest)) & (constantsSize < Splat(Largest))) != 3) return;
        constantsShare[p] = Splat(0x1p-49) * constantsSize + Splat(0x1p-1000);
        gaps[p] = (Splat(0x1p-52) * startSize + Splat(0x1p-1000)) * Splat(proof::RoundUp);
    }
    const Pair up = Splat(proof::RoundUp), down = Splat(proof::RoundDown), one = Splat(1);
    const Pair below = Splat(4 * (1 - 0x1p-50)), above = Splat(4 * (1 + 0x1p-50));
    // At least |W|^2, and at least 2|W|, from the squares' sum q.
    auto squareBound = [](Pair q) { return q * Splat(1 + 0x1p-50) + Splat(0x1p-1000); };
    auto twiceBound = [&](Pair square) { return (square + one) * up; };
    Pair sr[Pairs], si[Pairs], squares[Pairs];
    PairMask open[Pairs];  // orbits below the escape test after every pass so far
    for (std::size_t p = 0; p < Pairs; ++p) {
        sr[p] = wr[p] * wr[p];
        si[p] = wi[p] * wi[p];
        squares[p] = squareBound(sr[p] + si[p]);
        open[p] = PairMask{-1, -1};
    }
    for (std::int32_t pass = 1; pass <= passes; ++pass) {
        bool anyOpen = false;
        for (std::size_t p = 0; p < Pairs; ++p) {
            Pair gap = gaps[p];
            Pair twice = twiceBound(squares[p]);
            const Pair reach = (squares[p] + twice * gap + gap * gap) * up;  // at least (m + eps)^2
            gap = (gap * (twice + gap) + Splat(0x1p-49) * reach + constantsShare[p]) * up;
            gaps[p] = gap;
            wi[p] = (wr[p] * 2) * wi[p] + ki[p];
            wr[p] = (sr[p] - si[p]) + kr[p];
            sr[p] = wr[p] * wr[p];
            si[p] = wi[p] * wi[p];
            const Pair sum = sr[p] + si[p];
            squares[p] = squareBound(sum);
            twice = twiceBound(squares[p]);
            // (|W| + eps)^2 at most, (|W| - eps)^2 at least.
            const Pair most = (squares[p] + twice * gap + gap * gap) * up;
            const Pair least = (sum * Splat(1 - 0x1p-50) - twice * gap) * down;
            const PairMask narrow = gap < Splat(WidestGap);
            const PairMask escapes = open[p] & narrow & (least > above);
            if (const int lanes = Lanes(escapes)) [[unlikely]] {
                for (std::size_t lane = 0; lane < 2; ++lane)
                    if (lanes & (1 << lane)) counts[2 * p + lane] = pass - 1;
            }
            open[p] = open[p] & narrow & (most < below);
            anyOpen |= Lanes(open[p]) != 0;
        }
        if (!anyOpen) return;
    }
}

}  // namespace nimbra
