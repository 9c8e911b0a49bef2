// File types offered when a material's file is chosen, kept in the stored
// form "description(*.ext)|*.ext": the description with its pattern, then
// the bare pattern.
#pragma once

#include <QLatin1StringView>
#include <QString>

namespace ledsign {

// The file of an animation material.
inline constexpr QLatin1StringView kAnimationFileFilter{"gif(*.gif)|*.gif"};

// The part of a stored file type a file dialog reads: up to the "|".
QString dialogFilter(const QString& fileFilter);

} // namespace ledsign
