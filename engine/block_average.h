#pragma once
#include <cstdint>
#include <vector>

namespace nimbra {

// Reduces the rows of an image factor times as wide and high by blocks of factor x factor
// pixels: each channel of a pixel is the mean of the block's, rounded to the nearest integer,
// a tie (a mean ending in .5, possible for the factors 2 and 4) to the even one, as every
// rounding of the program. Only the sums of one row of blocks are held, whatever the height.
class BlockAverage {
public:
    BlockAverage(std::int32_t width, int factor);  // the width of the reduced image

    // Takes the next row of the large image (factor x width pixels of blue, green, red); once
    // every factor rows, the reduced row, valid until the next call; otherwise nullptr.
    const std::uint8_t* Add(const std::uint8_t* bgr);

private:
    int factor_;
    int rowsAdded_ = 0;
    std::vector<std::uint32_t> sums_;  // per channel of the reduced row
    std::vector<std::uint8_t> reduced_;
};

}  // namespace nimbra
