// Runs the built ledsign-cli as a process and makes small playbills for it
// with the model's own writer.
#pragma once

#include "support/testsupport.h"

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace ledsign::test {

struct CliRun {
    int exitCode = -1;
    bool finished = false;
    QString out;
    QString err;
};

inline CliRun runCli(const QStringList& args, int timeoutMs = 120000)
{
    QProcess process;
    process.start(binDir() + QStringLiteral("/ledsign-cli"), args);
    CliRun run;
    if (!process.waitForStarted(10000))
        return run;
    run.finished = process.waitForFinished(timeoutMs) && process.exitStatus() == QProcess::NormalExit;
    if (!run.finished)
        process.kill();
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

} // namespace ledsign::test
