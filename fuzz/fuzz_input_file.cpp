#include "fuzz/fuzz_input_file.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <unistd.h>

namespace nimbra::fuzzing {
namespace {

struct InputFile {
    std::string Path;
    InputFile()
    {
        // Memory-backed where the system has it: the file is rewritten for every input.
        std::string pattern = "/dev/shm/nimbra-fuzz-XXXXXX";
        int descriptor = mkstemp(pattern.data());
        if (descriptor < 0) {
            pattern = "/tmp/nimbra-fuzz-XXXXXX";
            descriptor = mkstemp(pattern.data());
        }
        if (descriptor < 0) throw std::runtime_error("mkstemp failed");
        ::close(descriptor);
        Path = pattern;
    }
    ~InputFile() { std::remove(Path.c_str()); }
};

}  // namespace

const std::string& WriteInputFile(const std::uint8_t* data, std::size_t size)
{
    static const InputFile file;
    std::FILE* out = std::fopen(file.Path.c_str(), "wb");
    if (out == nullptr) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, out) != size) std::abort();
    std::fclose(out);
    return file.Path;
}

}  // namespace nimbra::fuzzing
