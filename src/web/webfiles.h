// The fleet page's static files (data/web, installed in share/ledsign/web),
// read once when the service starts. A request names one file of that
// folder; a URL never becomes a path, so nothing outside it can be reached.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

namespace ledsign {

class WebFiles {
public:
    struct File {
        QByteArray body;
        QByteArray contentType;
    };

    // Where the page is looked for, beside a program in `programFolder`.
    static QStringList folders(const QString& programFolder);

    // Reads the files of the first of `folders` that holds "index.html";
    // false (and error()) when none does.
    bool load(const QStringList& folders);
    QString folder() const { return m_folder; }
    QString error() const { return m_error; }

    // The file for a request path ("/" is "index.html"); null when there is none.
    const File* find(const QString& urlPath) const;

private:
    QHash<QString, File> m_files;
    QString m_folder;
    QString m_error;
};

} // namespace ledsign
