// The material kinds 0..11, the number a playbill stores for a material.
// A stored number outside the list stays as read (the record keeps it).
#pragma once

namespace ledsign {

enum MaterialKind : int {
    kSingleText = 0,
    kMultiText = 1,
    kImageGroup = 2,
    kTable = 3,
    kDateTime = 4,
    kRemoteText = 5,
    kQueue = 6,
    kCountUp = 7,
    kCountDown = 8,
    kInternalCodeText = 9,
    kAcquisition = 10,
    kAnimation = 11,
};

inline constexpr int kMaterialKindCount = 12;

} // namespace ledsign
