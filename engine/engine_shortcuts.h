#pragma once

namespace nimbra {

// Exact shortcuts: each leaves every count as the plain iteration gives it.
struct EngineShortcuts {
    bool SkipRepeatingOrbits = true;  // stop iterating an orbit that has come back to an earlier state
    bool ReuseMirroredRows = true;    // a row whose point is the exact negative of a done row's
    bool ProveBoundedOrbits = true;   // stop iterating an orbit proven never to escape
    bool ProveByRegions = true;       // with proofs: also by regions around cycles, not only by discs
    bool EscapesInDoubles = true;     // decide the early escapes of eight orbits at once in doubles
};

inline constexpr EngineShortcuts NoShortcuts{false, false, false, false, false};

}  // namespace nimbra
