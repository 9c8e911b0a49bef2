#include "language/buttontexts.h"

#include "language/language.h"

#include <cstring>

namespace ledsign {

namespace {


struct ButtonText {
    const char* source; // Qt's own caption of the button
    const char* key;
};

// The generic theme's captions, and the GNOME theme's with their mnemonics.
constexpr ButtonText kButtons[] = {
    {"OK", "btn_ok"},       {"Cancel", "btn_cancel"},   {"&Yes", "btn_yes"},     {"&No", "btn_no"},
    {"Close", "btn_close"}, {"&OK", "btn_ok"},          {"&Cancel", "btn_cancel"}, {"&Close", "btn_close"},
};

bool isThemeContext(const char* context)
{
    return std::strcmp(context, "QPlatformTheme") == 0 || std::strcmp(context, "QGnomeTheme") == 0;
}

} // namespace

QString ButtonTextTranslator::translate(const char* context, const char* sourceText, const char*, int) const
{
    // The dialog buttons take their captions from the platform theme.
    if (!context || !sourceText || !isThemeContext(context))
        return {};
    for (const ButtonText& b : kButtons) {
        if (std::strcmp(sourceText, b.source) == 0)
            return messageText(QString::fromLatin1(b.key));
    }
    return {};
}

} // namespace ledsign
