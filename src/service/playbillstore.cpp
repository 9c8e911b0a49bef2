#include "service/playbillstore.h"

#include "model/cardtie.h"
#include "model/playbillsaver.h"
#include "model/projectmodel.h"

#include <QDir>

namespace ledsign {

namespace {

// The saver's questions have no one to answer them here: nothing is
// overwritten on a question, and its messages are kept.
class NoDialogs : public PlaybillSaveDialogs {
public:
    QString askSaveFileName(const QString&, const QString&, const QString&) override { return {}; }
    bool askYesNo(const QString&) override { return false; }
    void showMessage(const QString& text) override { messages << text; }
    QStringList messages;
};

} // namespace

PlaybillStore::PlaybillStore(ProjectModel& model, const DataFolder& folders)
    : m_model(model)
    , m_folders(folders)
{
}

QString PlaybillStore::fileOf(const QString& cardName)
{
    const auto card = std::as_const(m_model).findCard(cardName);
    if (card && !card.record->programFile.isEmpty())
        return card.record->programFile;
    const QDir folder(m_folders.programFolder());
    QString path;
    do
        path = folder.filePath(QStringLiteral("card%1.prg").arg(m_model.newId()));
    while (QFileInfo::exists(path));
    return path;
}

Outcome PlaybillStore::checkNotShared(const QString& cardName, const QString& path) const
{
    const QStringList sharing = cardsSharingPlaybill(m_model, cardName, path);
    if (sharing.isEmpty())
        return Outcome::done();
    return Outcome::refuse(Refusal::Conflict, sharedPlaybillText(QStringList{cardName} + sharing, path));
}

Outcome PlaybillStore::save(const QString& cardName)
{
    const QString path = fileOf(cardName);
    if (Outcome shared = checkNotShared(cardName, path); !shared)
        return shared;
    NoDialogs dialogs;
    PlaybillSaver saver(m_model, m_folders, dialogs);
    if (!saver.writePlaybill(cardName, path, true))
        return Outcome::refuse(Refusal::Unavailable, dialogs.messages.join(QLatin1Char('\n')));
    return Outcome::done();
}

} // namespace ledsign
