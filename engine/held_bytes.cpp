#include "engine/held_bytes.h"

#include <sys/mman.h>

#include <cstring>

namespace nimbra {
namespace {

constexpr std::size_t HugePage = std::size_t{2} << 20;

}  // namespace

HeldBytes::HeldBytes(std::size_t capacity)
{
    const std::size_t rounded = (capacity + HugePage - 1) / HugePage * HugePage;
    data_.reset(static_cast<std::uint8_t*>(std::aligned_alloc(HugePage, rounded)));
    if (!data_) return;  // nothing is held then
    capacity_ = capacity;
    ::madvise(data_.get(), rounded, MADV_HUGEPAGE);  // advice only: small pages serve as well
}

bool HeldBytes::Append(const std::uint8_t* bytes, std::size_t count)
{
    if (count > capacity_ - size_) return false;
    std::memcpy(data_.get() + size_, bytes, count);
    size_ += count;
    return true;
}

}  // namespace nimbra
