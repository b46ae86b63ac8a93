#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace nimbra::fuzzing {

// The readers take file names: each input is written to one temporary file of this process,
// which is removed at exit.
const std::string& WriteInputFile(const std::uint8_t* data, std::size_t size);

}  // namespace nimbra::fuzzing
