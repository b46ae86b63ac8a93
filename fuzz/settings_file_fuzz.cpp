#include "fuzz/fuzz_input_file.h"
#include "fuzz/reader_replay.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    nimbra::fuzzing::ReplaySettingsFile(nimbra::fuzzing::WriteInputFile(data, size));
    return 0;
}
