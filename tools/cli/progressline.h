// The progress of a download on stdout: one line rewritten in place on a
// terminal; on a pipe a line at every quarter, so that logs stay short.
#pragma once

#include <QString>

namespace ledsign::cli {

class ProgressLine {
public:
    explicit ProgressLine(QString label);
    void show(int position, int maximum);
    // Ends the line on a terminal.
    void finish();

private:
    QString m_label;
    bool m_terminal = false;
    bool m_open = false;
    int m_lastQuarter = -1;
};

} // namespace ledsign::cli
