#include "systemdnotify.h"

#include <systemd/sd-daemon.h>

namespace ledsign::service::systemd {

namespace {

void notify(const QString& state)
{
    sd_notify(0, state.toUtf8().constData());
}

} // namespace

void ready(const QString& status)
{
    notify(QStringLiteral("READY=1\nSTATUS=") + status);
}

void reloading()
{
    notify(QStringLiteral("RELOADING=1"));
}

void stopping()
{
    notify(QStringLiteral("STOPPING=1"));
}

void status(const QString& text)
{
    notify(QStringLiteral("READY=1\nSTATUS=") + text);
}

bool underJournal()
{
    return !qEnvironmentVariableIsEmpty("JOURNAL_STREAM");
}

} // namespace ledsign::service::systemd
