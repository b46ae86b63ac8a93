#pragma once

namespace nimbra {

// A rank other than 0: computes the rows rank 0 hands it with all its cores, until rank 0
// ends the job. Returns the exit code.
int RunMpiWorker();

}  // namespace nimbra
