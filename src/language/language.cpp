#include "language/language.h"

#include "language/languagetable.h"

#include <memory>

namespace ledsign {

namespace {

struct CurrentLanguage {
    int index = kEnglish;
    std::unique_ptr<LanguageTable> table;
};

CurrentLanguage& state()
{
    static CurrentLanguage current;
    return current;
}

int normalisedIndex(int index)
{
    return index == kSimplifiedChinese || index == kTraditionalChinese ? index : kEnglish;
}

} // namespace

int currentLanguage()
{
    return state().index;
}

void setCurrentLanguage(int index)
{
    CurrentLanguage& current = state();
    current.index = normalisedIndex(index);
    // Always a fresh table, as a language switch builds one.
    current.table = std::make_unique<LanguageTable>(LanguageTable::builtIn(current.index));
}

const LanguageTable& currentLanguageTable()
{
    CurrentLanguage& current = state();
    if (!current.table)
        setCurrentLanguage(current.index);
    return *current.table;
}

QString GetLgText(int category, const QString& key)
{
    return currentLanguageTable().text(category, key);
}

QString messageText(const QString& key)
{
    return GetLgText(kMessageCategory, key);
}

QStringList GetLgList(int category, int sub, const QString& key)
{
    return currentLanguageTable().list(category, sub, key);
}

QString GetOptionText(int category, int sub, int index)
{
    return currentLanguageTable().optionText(category, sub, index);
}

} // namespace ledsign
