// The sizes a card can have. The parameter block carries each side in two
// bytes, but no panel reaches 16,384 LED pixels a side, and a larger one
// would only make every picture of the card allocate gigabytes.
#pragma once

namespace ledsign {

inline constexpr int kMinCardSide = 1;
inline constexpr int kMaxCardSide = 16384;

constexpr bool isCardSizeAllowed(int width, int height)
{
    return width >= kMinCardSide && width <= kMaxCardSide && height >= kMinCardSide && height <= kMaxCardSide;
}

} // namespace ledsign
