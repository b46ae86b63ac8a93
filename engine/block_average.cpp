#include "engine/block_average.h"

#include <algorithm>

namespace nimbra {
namespace {

// sum / count rounded to the nearest integer, a tie to the even one.
std::uint8_t RoundedMean(std::uint32_t sum, std::uint32_t count)
{
    std::uint32_t mean = sum / count;
    const std::uint32_t twiceRest = 2 * (sum % count);
    if (twiceRest > count || (twiceRest == count && mean % 2 == 1)) ++mean;
    return static_cast<std::uint8_t>(mean);
}

}  // namespace

BlockAverage::BlockAverage(std::int32_t width, int factor)
    : factor_(factor), sums_(static_cast<std::size_t>(width) * 3), reduced_(sums_.size())
{
}

const std::uint8_t* BlockAverage::Add(const std::uint8_t* bgr)
{
    const auto factor = static_cast<std::size_t>(factor_);
    for (std::size_t pixel = 0; pixel < sums_.size() / 3; ++pixel) {
        const std::uint8_t* block = bgr + pixel * factor * 3;
        for (std::size_t column = 0; column < factor; ++column)
            for (std::size_t channel = 0; channel < 3; ++channel) sums_[pixel * 3 + channel] += block[column * 3 + channel];
    }
    if (++rowsAdded_ < factor_) return nullptr;
    const auto count = static_cast<std::uint32_t>(factor * factor);
    for (std::size_t i = 0; i < sums_.size(); ++i) reduced_[i] = RoundedMean(sums_[i], count);
    std::fill(sums_.begin(), sums_.end(), 0u);
    rowsAdded_ = 0;
    return reduced_.data();
}

}  // namespace nimbra
