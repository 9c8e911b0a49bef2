#include "web/fleetpagetexts.h"

#include "editing/propertyrows.h"
#include "language/language.h"

#include <QJsonDocument>

#include <functional>

namespace ledsign {

namespace {

// Rows of the card's property labels (category 2, sub 1).
constexpr int kCardLabelsSub = 1;
constexpr int kWidthLabel = 2;
constexpr int kHeightLabel = 3;
constexpr int kScreenColorLabel = 4;
constexpr int kActionCategory = 1;
constexpr int kCardNameCategory = 10;

struct PageText {
    const char* key;
    std::function<QString()> text;
};

QString message(const char* key) { return messageText(QString::fromLatin1(key)); }

const QList<PageText>& pageTexts()
{
    static const QList<PageText> texts{
        {"title", [] { return message("web_title"); }},
        {"name", [] { return GetLgText(kCardNameCategory, QStringLiteral("card_name")); }},
        {"online", [] { return message("web_online"); }},
        {"offline", [] { return message("web_offline"); }},
        {"size", [] {
             return GetOptionText(kLabelCategory, kCardLabelsSub, kWidthLabel) + QStringLiteral(" × ") +
                    GetOptionText(kLabelCategory, kCardLabelsSub, kHeightLabel);
         }},
        // The property editor shows the row's name as it stands ("Screen_Color").
        {"colors", [] { return GetOptionText(kLabelCategory, kCardLabelsSub, kScreenColorLabel).replace(u'_', u' '); }},
        {"colorSingle", [] { return message("color_single"); }},
        {"colorDual", [] { return message("color_dual"); }},
        {"colorTricolor", [] { return message("color_tricolor"); }},
        {"lastHeard", [] { return message("web_last_heard"); }},
        {"never", [] { return message("web_never"); }},
        {"send", [] { return GetLgText(kActionCategory, QStringLiteral("actSend")); }},
        {"sending", [] { return message("tip_program_sending"); }},
        {"sent", [] { return message("tip_program_sent"); }},
        {"sendFailed", [] { return message("warn_program_send_failed"); }},
        {"pages", [] { return message("web_pages"); }},
        {"page", [] { return message("web_page"); }},
        {"texts", [] { return message("web_texts"); }},
        {"noTexts", [] { return message("web_no_texts"); }},
        {"chooseCard", [] { return message("web_choose_card"); }},
        {"filter", [] { return message("web_filter"); }},
        {"countOnline", [] { return message("web_count_online"); }},
        {"countOffline", [] { return message("web_count_offline"); }},
        {"shown", [] { return message("web_shown"); }},
        {"liveLost", [] { return message("web_live_lost"); }},
        {"tokenPrompt", [] { return message("web_token_prompt"); }},
        {"tokenUse", [] { return message("btn_ok"); }},
        {"onlyThese", [] { return message("web_only_these"); }},
        {"sortBy", [] { return message("web_sort_by"); }},
    };
    return texts;
}

QString languageCode()
{
    switch (currentLanguage()) {
    case kSimplifiedChinese: return QStringLiteral("zh-CN");
    case kTraditionalChinese: return QStringLiteral("zh-TW");
    default: return QStringLiteral("en");
    }
}

} // namespace

QJsonObject fleetPageTexts()
{
    QJsonObject texts;
    for (const PageText& text : pageTexts())
        texts.insert(QLatin1String(text.key), text.text().trimmed());
    return {{QStringLiteral("language"), languageCode()}, {QStringLiteral("texts"), texts}};
}

QByteArray fleetPageTextsJson() { return QJsonDocument(fleetPageTexts()).toJson(QJsonDocument::Compact); }

QStringList fleetPageTextKeys()
{
    QStringList keys;
    for (const PageText& text : pageTexts())
        keys << QLatin1String(text.key);
    return keys;
}

} // namespace ledsign
