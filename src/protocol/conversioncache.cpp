#include "protocol/conversioncache.h"

#include "content/animationframes.h"
#include "content/sendconversion.h"
#include "model/materialkinds.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QFile>

#include <sys/stat.h>

namespace ledsign {

namespace {

// A file as the key sees it: its path, and what changes when it is written
// (size, time of change to the nanosecond, and the inode that a file saved
// by renaming a new one over it gets).
void addFile(QDataStream& out, const QString& path)
{
    struct stat st {};
    const bool exists = ::stat(QFile::encodeName(path).constData(), &st) == 0;
    out << path << exists;
    if (exists)
        out << qint64(st.st_size) << qint64(st.st_mtim.tv_sec) << qint64(st.st_mtim.tv_nsec) << quint64(st.st_ino);
}

qsizetype entryBytes(const QByteArray& key, const QByteArray& displayData)
{
    return key.size() + displayData.size() + qsizetype(sizeof(void*) * 8);
}

} // namespace

ConversionCache::ConversionCache(qsizetype maxBytes)
    : m_maxBytes(maxBytes)
{
}

QByteArray ConversionCache::keyOf(const TFodder& material, int width, int height, int colorType)
{
    const bool text = material.kind == kSingleText || material.kind == kMultiText;
    const bool pictures = material.kind == kImageGroup || material.kind == kTable;
    if (!text && !pictures && material.kind != kAnimation)
        return {};
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << qint32(material.kind) << material.typeCode << width << height << colorType;
    if (text) {
        out << material.content << material.displayMode << material.remainTime << material.textParam1
            << material.textParam2 << material.textParam3;
    } else if (pictures) {
        out << material.missingImages << qint32(material.fileList.size());
        for (const TFileInfo& file : material.fileList)
            addFile(out, file.path);
    } else {
        addFile(out, animationFilePath(material.content));
    }
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1);
}

SendConversion ConversionCache::wrap(SendConversion convert, MessageSink status)
{
    return [this, convert = std::move(convert), status = std::move(status)](
               TFodder& material, const TRegion& region, const TFIXModem& card) {
        const QByteArray key = keyOf(material, region.width, region.height, card.colorType);
        if (!key.isEmpty()) {
            auto found = m_entries.find(key);
            if (found != m_entries.end()) {
                m_uses.splice(m_uses.begin(), m_uses, found->use);
                material.frameCount = found->frameCount;
                material.byteCount = found->byteCount;
                material.partCount = found->partCount;
                if (status)
                    status(sendConversionStatus(card.name));
                return SendConversionResult{true, found->displayData, {}};
            }
        }
        SendConversionResult result = convert ? convert(material, region, card) : SendConversionResult{true, {}, {}};
        if (result.ok && !key.isEmpty() && !result.displayData.isEmpty())
            keep(key, material, result.displayData);
        return result;
    };
}

void ConversionCache::keep(const QByteArray& key, const TFodder& material, const QByteArray& displayData)
{
    const qsizetype size = entryBytes(key, displayData);
    if (size > m_maxBytes)
        return;
    while (m_bytes + size > m_maxBytes && !m_uses.empty()) {
        const QByteArray oldest = m_uses.back();
        m_uses.pop_back();
        m_bytes -= entryBytes(oldest, m_entries.value(oldest).displayData);
        m_entries.remove(oldest);
    }
    m_uses.push_front(key);
    m_entries.insert(key, Entry{displayData, material.frameCount, material.byteCount, material.partCount, m_uses.begin()});
    m_bytes += size;
}

void ConversionCache::clear()
{
    m_entries.clear();
    m_uses.clear();
    m_bytes = 0;
}

} // namespace ledsign
