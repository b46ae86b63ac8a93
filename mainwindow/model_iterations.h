#pragma once

namespace nimbra {

// The iteration maximum a colour model's radio button enters into its field.
inline constexpr char RgbCmyIterationText[] = "4096";
inline constexpr char GradIterationText[] = "256";

}  // namespace nimbra
