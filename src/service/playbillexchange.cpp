#include "service/playbillexchange.h"

#include "model/atomicfile.h"
#include "model/playbillreader.h"
#include "model/projectmodel.h"
#include "service/playbillstore.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>

namespace ledsign {

PlaybillExchange::PlaybillExchange(ProjectModel& model, PlaybillStore& store, const DataFolder& folders)
    : m_model(model)
    , m_store(store)
    , m_folders(folders)
{
}

Outcome PlaybillExchange::read(const QString& cardName, QByteArray* bytes) const
{
    const auto card = m_model.findCard(cardName);
    if (!card)
        return Outcome::refuse(Refusal::NotFound, QStringLiteral("no card named %1").arg(cardName));
    const QString path = card.record->programFile;
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return Outcome::refuse(Refusal::NotFound, QStringLiteral("card %1 has no playbill file").arg(cardName));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Outcome::refuse(Refusal::Unavailable, QStringLiteral("%1: %2").arg(path, file.errorString()));
    *bytes = file.readAll();
    return Outcome::done();
}

Outcome PlaybillExchange::check(const QString& cardName, const QByteArray& bytes) const
{
    const auto card = m_model.findCard(cardName);
    ProjectModel scratch;
    TFIXModem copy;
    copy.name = cardName;
    copy.width = card.record->width;
    copy.height = card.record->height;
    copy.colorType = card.record->colorType;
    scratch.addCard(copy);
    PlaybillReader reader(scratch, m_folders);
    QByteArray data = bytes;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    const PlaybillReader::Status status = reader.read(cardName, buffer);
    if (status != PlaybillReader::Status::Loaded) {
        QString why = reader.errorString().isEmpty() ? QStringLiteral("the playbill cannot be read") : reader.errorString();
        if (reader.errorLine() > 0)
            why += QStringLiteral(" (line %1)").arg(reader.errorLine());
        return Outcome::refuse(Refusal::BadInput, why);
    }
    if (reader.skippedLines() > 0 || reader.endsEarly())
        return Outcome::refuse(Refusal::BadInput, reader.damageText(QStringLiteral("the playbill sent")));
    return Outcome::done();
}

Outcome PlaybillExchange::replace(const QString& cardName, const QByteArray& bytes)
{
    if (!std::as_const(m_model).findCard(cardName))
        return Outcome::refuse(Refusal::NotFound, QStringLiteral("no card named %1").arg(cardName));
    if (Outcome checked = check(cardName, bytes); !checked)
        return checked;
    const QString path = m_store.fileOf(cardName);
    if (Outcome shared = m_store.checkNotShared(cardName, path); !shared)
        return shared;

    QByteArray before;
    const bool hadFile = QFileInfo(path).isFile();
    if (hadFile) {
        QFile old(path);
        if (!old.open(QIODevice::ReadOnly))
            return Outcome::refuse(Refusal::Unavailable, QStringLiteral("%1: %2").arg(path, old.errorString()));
        before = old.readAll();
    }
    QString error;
    if (!writeFileAtomically(path, bytes, &error))
        return Outcome::refuse(Refusal::Unavailable, QStringLiteral("%1: %2").arg(path, error));
    PlaybillReader reader(m_model, m_folders);
    if (reader.open(cardName, path) != PlaybillReader::Status::Loaded) {
        // Checked above, so only the disk can have failed here: the old file goes back.
        const QString why = reader.errorString();
        if (hadFile && writeFileAtomically(path, before))
            reader.open(cardName, path);
        return Outcome::refuse(Refusal::Unavailable, QStringLiteral("%1: %2").arg(path, why));
    }
    return Outcome::done();
}

} // namespace ledsign
