#pragma once

namespace nimbra {

// Every count, and the proofs' error allowance, rely on the x87 unit computing with 64-bit
// significands and rounding to nearest, as a process starts. A library loaded into the process
// (a plug-in, a graphics driver) may have changed that for a thread: this sets it back, with a
// note on stderr, and says whether it had to. Called at the start of every run and of every
// worker thread, before the first value is computed.
bool KeepExtendedPrecision();

}  // namespace nimbra
