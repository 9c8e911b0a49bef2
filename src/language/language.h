// The language tables: every text the program shows is looked up here by a
// category number and a language key, in the current language
// (0 simplified Chinese, 1 traditional Chinese, 2 English).
#pragma once

#include <QString>
#include <QStringList>

namespace ledsign {

class LanguageTable;

enum LanguageIndex : int {
    kSimplifiedChinese = 0,
    kTraditionalChinese = 1,
    kEnglish = 2,
};

// The current language; a table for it is created on first use.
int currentLanguage();
// Makes the table of the given language current (0, 1 or 2; others give English).
void setCurrentLanguage(int index);
// The table of the current language (created on first use).
const LanguageTable& currentLanguageTable();

// The category of the program's messages: warnings, questions, progress and
// status texts, and the words they are made of (object, material and action
// names).
inline constexpr int kMessageCategory = 3;

// Text of the message `key` in the current language; empty when none.
QString messageText(const QString& key);

// Text of the first row of the category whose key equals `key`; empty when none.
QString GetLgText(int category, const QString& key);
// Empty key: the texts of all rows of the category with that sub, in order.
// Otherwise: the items of the first row of the category and sub whose text equals `key`.
QStringList GetLgList(int category, int sub, const QString& key = QString());
// The text at `index` of GetLgList(category, sub); empty when out of range.
QString GetOptionText(int category, int sub, int index);

} // namespace ledsign
