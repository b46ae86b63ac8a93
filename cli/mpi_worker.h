#pragma once

#include <cstdint>

namespace nimbra {

// The threads a rank computes with: those asked for, or 0 for all cores of its machine.
int WorkerThreads(std::int32_t asked);
// The rows a rank with threads holds at a time.
std::int32_t RowsHeld(int threads);

// A rank other than 0: computes the rows rank 0 hands it with all its cores, until rank 0
// ends the job. Returns the exit code.
int RunMpiWorker();

}  // namespace nimbra
