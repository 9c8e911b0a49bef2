// The texts of the fleet page (data/web), in the current language: the
// page asks for them as "texts.json" and shows each by its key. They come
// from the language tables: the windows' own words where the windows have
// one (card name, width and height, screen colour, send, the send states),
// rows of their own for the rest.
#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QStringList>

namespace ledsign {

// {"language": "en" | "zh-CN" | "zh-TW", "texts": {key: text}}
QJsonObject fleetPageTexts();
QByteArray fleetPageTextsJson();
// Every key the page may ask for.
QStringList fleetPageTextKeys();

} // namespace ledsign
