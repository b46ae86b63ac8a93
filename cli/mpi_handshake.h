#pragma once
#include "cli/mpi_link.h"

#include <cstdint>
#include <vector>

namespace nimbra {

// What a rank says of itself before any run: this build's identity (the linker's build ID of
// the executable) and the layout of the messages it sends and expects. Ranks agree to work
// together only when these are the same, since the parameters travel as raw bytes.
std::vector<std::int32_t> HelloMessage();

// Rank 0: asks every other rank for its hello and compares it with its own. Throws Error,
// naming the first rank that differs or does not answer in time.
void CheckRanksMatch(MpiLink& link);

// A rank other than 0: waits for rank 0's hello and answers with its own. Throws Error when
// rank 0 sends something else first, as a rank 0 of another build does.
void AnswerRankZero(MpiLink& link);

}  // namespace nimbra
