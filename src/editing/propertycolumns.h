// How the property editor shares its width between the labels and the
// values: the labels are shown in full while the values keep room for a
// value of usual length; a narrower editor gives the labels what is left,
// but never less than half.
#pragma once

namespace ledsign {

// The room a value of usual length takes (a date format, a colour pairing).
inline constexpr int kPropertyValueMinimum = 150;

int propertyLabelWidth(int widestLabel, int editorWidth, int valueMinimum = kPropertyValueMinimum);

} // namespace ledsign
