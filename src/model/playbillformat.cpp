#include "model/playbillformat.h"

namespace ledsign::playbill {

namespace {
const QString kStoredSpace = QStringLiteral("?*");
const QString kStoredLineBreak = QStringLiteral("*?");
} // namespace

QString fieldText(const QString& value)
{
    QString t = value;
    t.replace(QLatin1String("\r\n"), QLatin1String(" "));
    t.replace(QLatin1Char('\r'), QLatin1Char(' '));
    t.replace(QLatin1Char('\n'), QLatin1Char(' '));
    t.replace(QLatin1Char(','), QChar(0xFF0C));
    return t;
}

QString listedFileName(const QString& name)
{
    QString t = fieldText(name);
    t.replace(QLatin1Char(';'), QChar(0xFF1B));
    return t;
}

QString storedDate(const QString& date)
{
    QString t = fieldText(date);
    t.replace(QLatin1Char(' '), kStoredSpace);
    return t;
}

QString dateFromStored(const QString& stored)
{
    QString t = stored;
    t.replace(kStoredSpace, QLatin1String(" "));
    return t;
}

QString fileNameFromStored(const QString& stored)
{
    return dateFromStored(stored);
}

QString storedContent(const QString& content)
{
    QString t = content;
    t.replace(QLatin1String("\r\n"), kStoredLineBreak);
    t.replace(QLatin1Char('\r'), kStoredLineBreak);
    t.replace(QLatin1Char('\n'), kStoredLineBreak);
    return t;
}

QString contentFromStored(const QString& stored)
{
    QString t = stored;
    t.replace(kStoredLineBreak, QLatin1String("\r\n"));
    return t;
}

} // namespace ledsign::playbill
