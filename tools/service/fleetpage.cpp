#include "fleetpage.h"

#include "apiserver.h"

#include "web/fleetpagetexts.h"
#include "web/webfiles.h"

namespace ledsign::service {

bool isPagePath(const QString& path)
{
    return path != QLatin1String("/api") && !path.startsWith(QLatin1String("/api/"));
}

ApiAnswer fleetPageAnswer(const WebFiles& files, const QByteArray& method, const QString& path)
{
    if (method != "GET")
        return errorAnswer(404, QStringLiteral("%1 is not served at %2 (GET is)").arg(QString::fromLatin1(method), path));
    if (path == QLatin1String("/texts.json"))
        return ApiAnswer{200, fleetPageTextsJson(), "application/json"};
    if (const WebFiles::File* file = files.find(path))
        return ApiAnswer{200, file->body, file->contentType};
    return errorAnswer(404, files.error().isEmpty() ? QStringLiteral("nothing is served at %1").arg(path) : files.error());
}

} // namespace ledsign::service
