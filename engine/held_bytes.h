#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace nimbra {

// Bytes held back in one block of fixed capacity, in huge pages where the system offers them:
// faulting in a fresh small page for every 4 KiB would cost about what holding them back saves.
class HeldBytes {
public:
    explicit HeldBytes(std::size_t capacity);
    HeldBytes(const HeldBytes&) = delete;
    HeldBytes& operator=(const HeldBytes&) = delete;

    const std::uint8_t* Data() const { return data_.get(); }
    std::size_t Size() const { return size_; }
    // Appends count bytes when they fit; false, and nothing appended, when they do not.
    bool Append(const std::uint8_t* bytes, std::size_t count);
    void Clear() { size_ = 0; }

private:
    struct Free {
        void operator()(std::uint8_t* block) const { std::free(block); }
    };
    std::unique_ptr<std::uint8_t[], Free> data_;
    std::size_t capacity_ = 0;
    std::size_t size_ = 0;
};

}  // namespace nimbra
