// The captions of the standard dialog buttons (OK, Cancel, Yes, No, Close)
// taken from the current language table, so that every message box and
// button box speaks the language the operator chose, whatever the system's.
#pragma once

#include <QTranslator>

namespace ledsign {

class ButtonTextTranslator : public QTranslator {
public:
    using QTranslator::QTranslator;

    QString translate(const char* context, const char* sourceText, const char* disambiguation = nullptr,
                      int n = -1) const override;
    bool isEmpty() const override { return false; }
};

} // namespace ledsign
