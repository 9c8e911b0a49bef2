// Choosing the file of an animation material: a file-open dialog for ".gif"
// files, preset to the current file when it exists.
//
//   if (const auto path = chooseAnimationFile(parent, material.content))
//       material.content = *path;
// A cancelled dialog gives no value, so the material keeps its file.
#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace ledsign {

inline constexpr char kAnimationFilter[] = "gif(*.gif)";

std::optional<QString> chooseAnimationFile(QWidget* parent, const QString& current);

} // namespace ledsign
