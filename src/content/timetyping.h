// Digits typed into an "HH:mm:ss" field: each section takes two digits and
// then the next section is typed into; a first digit that no second digit
// can follow (7 in the hours) fills the section at once. The section typed
// into is the one the operator clicked or moved to.
#pragma once

#include <QTime>

namespace ledsign {

class TimeTyping {
public:
    // 0 hours, 1 minutes, 2 seconds; typing starts afresh in it.
    void enterSection(int section);
    int section() const { return section_; }
    // The time after one more digit (0 to 9).
    QTime type(const QTime& now, int digit);

private:
    int section_ = 0;
    int typed_ = 0; // digits typed into the section so far
};

} // namespace ledsign
