#include "content/timetyping.h"

#include <algorithm>

namespace ledsign {

void TimeTyping::enterSection(int section)
{
    section_ = std::clamp(section, 0, 2);
    typed_ = 0;
}

QTime TimeTyping::type(const QTime& now, int digit)
{
    const QTime base = now.isValid() ? now : QTime(0, 0);
    int parts[3] = {base.hour(), base.minute(), base.second()};
    const int most = section_ == 0 ? 23 : 59;
    int& part = parts[section_];
    bool full = false;
    if (typed_ == 0) {
        part = digit;
        typed_ = 1;
        full = digit * 10 > most; // no second digit fits after it
    } else {
        part = std::min(part * 10 + digit, most);
        full = true;
    }
    if (full)
        enterSection(std::min(section_ + 1, 2));
    return QTime(parts[0], parts[1], parts[2]);
}

} // namespace ledsign
