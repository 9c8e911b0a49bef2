#include "progressline.h"

#include "output.h"

#include <cstdio>
#include <unistd.h>

namespace ledsign::cli {

ProgressLine::ProgressLine(QString label)
    : m_label(std::move(label))
    , m_terminal(isatty(fileno(stdout)) == 1)
{
}

void ProgressLine::show(int position, int maximum)
{
    if (maximum <= 0)
        return;
    position = qBound(0, position, maximum);
    const QString text = QStringLiteral("%1: %2/%3 packets (%4%)")
                             .arg(m_label)
                             .arg(position)
                             .arg(maximum)
                             .arg(position * 100 / maximum);
    if (m_terminal) {
        std::fputs(("\r" + text).toUtf8().constData(), stdout);
        std::fflush(stdout);
        m_open = true;
        return;
    }
    const int quarter = position * 4 / maximum;
    if (quarter != m_lastQuarter) {
        m_lastQuarter = quarter;
        printLine(text);
    }
}

void ProgressLine::finish()
{
    if (m_open) {
        std::fputc('\n', stdout);
        std::fflush(stdout);
        m_open = false;
    }
}

} // namespace ledsign::cli
