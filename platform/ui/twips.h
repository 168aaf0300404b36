// Screen measures of the forms, given in twips: 15 to the pixel.
#pragma once

namespace ui {

inline constexpr int kTwipsPorPixel = 15;

}  // namespace ui
