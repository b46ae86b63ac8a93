#pragma once
#include "engine/early_orbit.h"
#include "engine/proof_rounding.h"

#include <immintrin.h>

#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <utility>

// The early passes in vectors of any width. Each width's file includes this and compiles it with
// that width's instructions, so nothing here has a name seen outside the file: a function the
// linker took from the wider file would fail on a processor without those instructions.

namespace nimbra {
namespace {

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
constexpr double Largest = 0x1p400;
constexpr double WidestGap = 0x1p-30;

// A member of consecutive orbits as one vector: whole at once, as a vector written a lane at a
// time would wait for every store.
template <class Vector, std::size_t... Lane>
Vector Gather(const EarlyOrbit* orbits, double EarlyOrbit::*member, std::index_sequence<Lane...>)
{
    return Vector{(orbits[Lane].*member)...};
}

using PairVector = double __attribute__((vector_size(16)));
using PairMask = long long __attribute__((vector_size(16)));
using QuadVector = double __attribute__((vector_size(32)));
using QuadMask = long long __attribute__((vector_size(32)));

// Vectors of Width doubles, their comparisons' masks, and a mask's lanes as the bits of an int.
template <int Width>
struct Lanes {
    using Vector = std::conditional_t<Width == 2, PairVector, QuadVector>;
    using Mask = std::conditional_t<Width == 2, PairMask, QuadMask>;
    static int Bits(Mask mask)
    {
        if constexpr (Width == 2)
            return _mm_movemask_pd(reinterpret_cast<__m128d>(mask));
        else
            return _mm256_movemask_pd(reinterpret_cast<__m256d>(mask));
    }
};

template <class Lanes>
void DecideInLanes(const EarlyOrbit* orbits, std::int32_t passes, std::int32_t* counts)
{
    using Vector = typename Lanes::Vector;
    using Mask = typename Lanes::Mask;
    constexpr std::size_t Width = sizeof(Vector) / sizeof(double), Vectors = EarlyBlock / Width;
    constexpr int All = (1 << Width) - 1;
    constexpr std::make_index_sequence<Width> EachLane;
    // Nothing from outside the file: a plain loop rather than std::fill_n.
    for (std::int32_t orbit = 0; orbit < EarlyBlock; ++orbit) counts[orbit] = Undecided;
    const auto Splat = [](double value) { return Vector{} + value; };  // never -0
    const auto Abs = [](Vector value) { return Vector(Mask(value) & ~Mask(-Vector{})); };
    Vector wr[Vectors], wi[Vectors], kr[Vectors], ki[Vectors], constantsShare[Vectors], gaps[Vectors];
    for (std::size_t p = 0; p < Vectors; ++p) {
        const EarlyOrbit* first = orbits + p * Width;
        wr[p] = Gather<Vector>(first, &EarlyOrbit::StartReal, EachLane);
        wi[p] = Gather<Vector>(first, &EarlyOrbit::StartImag, EachLane);
        kr[p] = Gather<Vector>(first, &EarlyOrbit::ConstantReal, EachLane);
        ki[p] = Gather<Vector>(first, &EarlyOrbit::ConstantImag, EachLane);
        const Vector startSize = Abs(wr[p]) + Abs(wi[p]);
        const Vector constantsSize =
            Gather<Vector>(first, &EarlyOrbit::ConstantsSize, EachLane) * Splat(proof::RoundUp);
        if (Lanes::Bits((startSize < Splat(Largest)) & (constantsSize < Splat(Largest))) != All) return;
        constantsShare[p] = Splat(0x1p-49) * constantsSize + Splat(0x1p-1000);
        gaps[p] = (Splat(0x1p-52) * startSize + Splat(0x1p-1000)) * Splat(proof::RoundUp);
    }
    const Vector up = Splat(proof::RoundUp), down = Splat(proof::RoundDown), one = Splat(1);
    const Vector below = Splat(4 * (1 - 0x1p-50)), above = Splat(4 * (1 + 0x1p-50));
    // At least |W|^2, and at least 2|W|, from the squares' sum q.
    auto squareBound = [&](Vector q) { return q * Splat(1 + 0x1p-50) + Splat(0x1p-1000); };
    auto twiceBound = [&](Vector square) { return (square + one) * up; };
    Vector sr[Vectors], si[Vectors], squares[Vectors];
    Mask open[Vectors];  // orbits below the escape test after every pass so far
    for (std::size_t p = 0; p < Vectors; ++p) {
        sr[p] = wr[p] * wr[p];
        si[p] = wi[p] * wi[p];
        squares[p] = squareBound(sr[p] + si[p]);
        open[p] = Mask{} - 1;
    }
    for (std::int32_t pass = 1; pass <= passes; ++pass) {
        bool anyOpen = false;
        for (std::size_t p = 0; p < Vectors; ++p) {
            Vector gap = gaps[p];
            Vector twice = twiceBound(squares[p]);
            const Vector reach = (squares[p] + twice * gap + gap * gap) * up;  // at least (m + eps)^2
            gap = (gap * (twice + gap) + Splat(0x1p-49) * reach + constantsShare[p]) * up;
            gaps[p] = gap;
            wi[p] = (wr[p] * 2) * wi[p] + ki[p];
            wr[p] = (sr[p] - si[p]) + kr[p];
            sr[p] = wr[p] * wr[p];
            si[p] = wi[p] * wi[p];
            const Vector sum = sr[p] + si[p];
            squares[p] = squareBound(sum);
            twice = twiceBound(squares[p]);
            // (|W| + eps)^2 at most, (|W| - eps)^2 at least.
            const Vector most = (squares[p] + twice * gap + gap * gap) * up;
            const Vector least = (sum * Splat(1 - 0x1p-50) - twice * gap) * down;
            const Mask narrow = gap < Splat(WidestGap);
            const Mask escapes = open[p] & narrow & (least > above);
            if (const int lanes = Lanes::Bits(escapes)) [[unlikely]] {
                for (std::size_t lane = 0; lane < Width; ++lane)
                    if (lanes & (1 << lane)) counts[p * Width + lane] = pass - 1;
            }
            open[p] = open[p] & narrow & (most < below);
            anyOpen |= Lanes::Bits(open[p]) != 0;
        }
        if (!anyOpen) return;
    }
}

}  // namespace
}  // namespace nimbra
