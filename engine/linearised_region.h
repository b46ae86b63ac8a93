#pragma once
#include "engine/complex_double.h"
#include "engine/fractal_params.h"

#include <cstdint>
#include <vector>

namespace nimbra {

// Why an orbit that enters one of these regions never escapes.
//
// The kernels whose pass is holomorphic (Mandelbrot, Julia, Dragon, Daisy) map the state z to
// F(z) + e, F(z) = z^2 + K with K the pass's constant (the pixel's point plus the formula's
// offset, or minus the Julia constant) and e the rounding bounded in proof_rounding.h.
//
// Around an attracting cycle of period p there is one region for each j = 0 ... p - 1 (indices
// taken mod p):
//   S_j = { v_j + Psi_j(w) : |w| <= R_j },   Psi_j(w) = w + a_j2 w^2 + ... + a_jN w^N,
// with the centres v_j, the coefficients a_jk and the radii R_j doubles, and lambda_j = 2 v_j,
// exact. Whatever these numbers are, expanding the square gives for every w
//   F(v_j + Psi_j(w)) = v_j+1 + Psi_j+1(lambda_j w) + P_j(w),
//   P_j(w) = (v_j^2 + K - v_j+1) + sum_k=2..2N p_jk w^k,
//   p_jk = lambda_j a_jk + sum_i+l=k a_ji a_jl - lambda_j^k a_j+1,k
// (a_j1 = 1 and a_jk = 0 beyond N; the terms in w^1 cancel as lambda_j = 2 v_j). The
// coefficients are those of Koenigs' linearisation of the cycle, solved degree by degree, so
// that the p_jk up to N all but cancel; the regions can then be as large as the truncated
// series stays good, far larger than a disc that the pass maps into itself, and an orbit that
// creeps towards a cycle whose multiplier is near 1 in modulus enters them early. On |w| <= R_j:
//   |P_j(w)| <= delta_j = |v_j^2 + K - v_j+1| + sum_k |p_jk| R_j^k,
//   |Psi_j'(w) - 1| <= eta_j = sum_k=2..N k |a_jk| R_j^(k-1),   |Psi_j(w)| <= R_j (1 + eta_j).
// Lemma: if |Psi' - 1| <= eta < 1 on the closed disc D(c, s), Psi(D(c, s)) holds every t with
// |t - Psi(c)| < s (1 - eta). (Rouche: on the circle |w - c| = s, Psi(w) - t differs from
// (w - c) - (t - Psi(c)), which has one zero inside, by |Psi(w) - Psi(c) - (w - c)| <= eta s,
// which is less than |(w - c) - (t - Psi(c))| >= s - |t - Psi(c)| > eta s; so Psi(w) = t has
// a solution inside too.)
// The check: for every j, with s_j = R_j+1 - |lambda_j| R_j > 0, eta_j+1 < 1 and E_j >= |e| on
// S_j (proof_rounding.h, with x^2 + y^2 <= (|v_j| + R_j (1 + eta_j))^2),
//   delta_j + E_j < s_j (1 - eta_j+1),
// and on every S_j the escape test fails (proof_rounding.h).
// Induction: let the state be z = v_j + Psi_j(w), |w| <= R_j. The pass gives z' with
//   |z' - v_j+1 - Psi_j+1(lambda_j w)| <= |P_j(w)| + |e| <= delta_j + E_j < s_j (1 - eta_j+1);
// the disc D(lambda_j w, s_j) lies in |w'| <= R_j+1, where |Psi_j+1' - 1| <= eta_j+1, so by the
// lemma z' - v_j+1 = Psi_j+1(w') for some |w'| < R_j+1: z' lies in S_j+1, where the escape
// test fails. An orbit whose state lies in some S_j never escapes; its count is the maximum.
// Another pixel: its K differs from the K the regions were built for by some Delta, which adds
// the constant Delta to every P_j and at most 2 |Delta| to the constants' sum in E_j; the check
// holds for it when |Delta| (1 + 2 Gamma) stays below the least room left,
// min_j [s_j (1 - eta_j+1) - delta_j - E_j].
// The regions also slide with the constant: for a pixel whose constant is K + Delta, with E_j
// doubles near the derivatives of v_j by the constant (E_j+1 about 2 v_j E_j + 1),
//   S_j(Delta) = { v_j + E_j Delta + Psi_j(w) : |w| <= R_j }.
// For z = v_j + E_j Delta + Psi_j(w) the pass with K + Delta gives, expanding the square,
//   F(z) = v_j+1 + E_j+1 Delta + Psi_j+1(lambda_j w) + P_j(w)
//          + (2 v_j E_j + 1 - E_j+1) Delta + 2 Psi_j(w) E_j Delta + E_j^2 Delta^2,
// so the induction above holds for S_j(Delta) when, with eps_j >= |2 v_j E_j + 1 - E_j+1|,
//   |Delta| (eps_j + 2 R_j (1 + eta_j) |E_j|) + |E_j|^2 |Delta|^2
// and what the wider states and constants add to E_j (the state reaching |E_j| |Delta| further,
// |v_j| + R_j (1 + eta_j) + |E_j| |Delta|, where the escape test must still fail) stay within
// the room left. Near a cycle whose multiplier is near 1 the orbits of nearby constants part by
// about E_j Delta, and regions that move with them leave far more room than regions that stand
// still; with all E_j = 0 this is the check for another pixel above. Each region keeps whichever
// of the two leaves more room.
// A state z lies in S_j when some w has |w| < R_j and |z - v_j - Psi_j(w)| < (R_j - |w|)(1 - eta_j)
// (the lemma on the disc D(w, R_j - |w|)); w = 0 makes that every z closer to v_j than
// R_j (1 - eta_j), and Newton's method on Psi_j finds such a w further out.
//
// The bounds are worked out in doubles as proof_rounding.h says. The p_jk are computed from the
// stored numbers, lambda_j^k by repeated products. Each part of a complex product of doubles is
// off by at most 2u |a| |b| (u = 2^-53), of a sum by u times the moduli summed, so with N <= 32
// (at most 64 products for a power, 32 products summed for a coefficient of the square) the
// computed p_jk is off by less than 2^-42 m_jk, m_jk = |lambda_j| |a_jk| + sum_i+l=k |a_ji| |a_jl|
// + |lambda_j|^k |a_j+1,k|; beyond N, |p_jk| <= sum_i+l=k |a_ji| |a_jl|. The constant term is
// worked in extended precision: six operations, each off by at most 2^-64 of the moduli
// involved. Psi_j(w) by Horner's scheme, less the state's offset, is off by less than
// 2^-42 R_j (1 + eta_j), and the state's offset from v_j by 2^-51 of its parts' moduli when
// rounded to double. A power of a radius below 2^-899, where it would lose digits, counts as
// 2^-899; radii themselves stay above 2^-800.
class LinearisedRegion {
public:
    // The pass's constant K: the part that is the pixel's and the formula's fixed offset.
    struct PassConstant {
        long double PixelReal = 0, PixelImag = 0;
        long double OffsetReal = 0, OffsetImag = 0;
        // The constant the exact pass adds, for the guesses.
        Complex Approximate() const
        {
            return {static_cast<double>(PixelReal + OffsetReal), static_cast<double>(PixelImag + OffsetImag)};
        }
    };

    // Builds the regions around cycle (its points in the order of the passes) for the formula
    // and the constant; constantsSize and escapeLimit as the kernel tells them. With series the
    // Psi_j are Koenigs' series, as long as the cycle's length makes them worth it; without, they
    // are the identity and the regions discs, which around a strongly attracting cycle can be
    // larger. False when no radius passes the check.
    bool Build(FormulaKind formula, const PassConstant& constant, long double constantsSize,
               long double escapeLimit, const std::vector<Complex>& cycle, bool series);

    // Whether the check holds for a pixel of the formula with this constant too.
    bool Serves(FormulaKind formula, const PassConstant& constant) const;

    // Whether the state of a pixel with the constant, which the regions serve, lies in one of
    // the regions; otherwise, when it can tell, about how many passes the orbit needs to get
    // there (0 when it cannot).
    struct Look {
        bool Inside = false;
        std::uint32_t PassesToGo = 0;
    };
    Look Locate(long double zr, long double zi, const PassConstant& constant) const;

    bool Built() const { return built_; }
    // Whether the cycle attracts so strongly that room for pixels nearby matters more than size;
    // very strongly, so that plain discs may leave more room.
    bool AttractsStrongly() const;
    bool AttractsVeryStrongly() const;
    // Whether orbits near the cycle take hundreds of passes to settle.
    bool AttractsWeakly() const;
    double Room() const { return room_; }  // how far another pixel's constant may lie
    std::uint32_t Period() const { return period_; }
    Complex Centre(std::uint32_t j) const { return centres_[j]; }

private:
    bool SolveCoefficients(Complex multiplier);
    void BoundResiduals();
    bool ChooseRadii();
    bool CheckRadius(double startRadius);   // sets the radii, the flexes and the room
    void ChooseSlides(Complex multiplier);  // lets the regions slide where that leaves more room
    bool BoundRegion(std::uint32_t j, double startRadius);
    Complex Psi(std::uint32_t j, Complex w) const;
    Complex NewtonChange(std::uint32_t j, Complex w, Complex target) const;  // (Psi_j(w) - target) / Psi_j'(w)

    bool built_ = false;
    FormulaKind formula_ = FormulaKind::Mandelbrot;
    PassConstant constant_;
    double constantsSize_ = 0;
    double safeLimit_ = 0;
    std::uint32_t period_ = 0, degree_ = 0;
    double contraction_ = 0;  // the modulus of the cycle's multiplier
    double roundsPerFactor_ = 0;  // rounds of the cycle that shrink the linearised coordinate e times
    std::vector<Complex> centres_, factors_;  // v_j and lambda_j
    std::vector<double> centreModuli_, factorModuli_;  // |v_j| and |lambda_j|, rounded up
    std::vector<Complex> coefficients_;       // a_jk at j * (degree_ + 1) + k
    std::vector<double> moduli_;              // |a_jk|, rounded up
    std::vector<double> residuals_;           // at least |p_jk| at j * (2 degree_ + 1) + k; k = 0 the constant term
    std::vector<double> shares_;              // R_j / R_0
    std::vector<double> radii_, flexes_;      // R_j and eta_j
    std::vector<double> needs_;               // delta_j + E_j
    std::vector<double> reaches_;             // |v_j| + R_j (1 + eta_j), rounded up
    std::vector<double> lefts_;               // the room the step from region j leaves
    std::vector<Complex> slides_;             // E_j, or 0 where the regions stand still
    std::vector<Complex> powers_, inversePowers_, inverseFactors_, squares_;  // room for the solution
    double room_ = 0;                         // how far another pixel's constant may lie
};

}  // namespace nimbra
