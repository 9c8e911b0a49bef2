#include "content/compoundfile.h"

#include <QtEndian>

#include <vector>

namespace ledsign {

namespace {

constexpr char kSignature[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
constexpr int kHeaderSize = 512;
constexpr int kHeaderFatSectors = 109;
constexpr int kDirectoryEntrySize = 128;
constexpr quint32 kEndOfChain = 0xFFFFFFFEu;
constexpr quint32 kMaxRegularSector = 0xFFFFFFFAu;
constexpr quint8 kStreamEntry = 2;
constexpr quint8 kRootEntry = 5;

quint16 u16At(const QByteArray& b, qsizetype at)
{
    return qFromLittleEndian<quint16>(b.constData() + at);
}

quint32 u32At(const QByteArray& b, qsizetype at)
{
    return qFromLittleEndian<quint32>(b.constData() + at);
}

class CompoundFile {
public:
    explicit CompoundFile(const QByteArray& bytes) : bytes_(bytes) {}

    bool open(QString* error)
    {
        if (bytes_.size() < kHeaderSize || !bytes_.startsWith(QByteArray(kSignature, 8)))
            return fail(error, QStringLiteral("not an .xls file"));
        const quint16 sectorShift = u16At(bytes_, 0x1E);
        const quint16 miniShift = u16At(bytes_, 0x20);
        if ((sectorShift != 9 && sectorShift != 12) || miniShift != 6)
            return fail(error, QStringLiteral("unknown sector size"));
        sectorSize_ = 1 << sectorShift;
        miniCutoff_ = u32At(bytes_, 0x38);
        sectorCount_ = quint32((bytes_.size() - kHeaderSize + sectorSize_ - 1) / sectorSize_);
        if (!readFat(error))
            return false;
        QByteArray miniFat;
        if (!readChain(u32At(bytes_, 0x30), -1, &directory_) || directory_.size() < kDirectoryEntrySize)
            return fail(error, QStringLiteral("damaged directory"));
        const quint32 miniFatStart = u32At(bytes_, 0x3C);
        if (miniFatStart != kEndOfChain && !readChain(miniFatStart, -1, &miniFat))
            return fail(error, QStringLiteral("damaged mini allocation table"));
        for (qsizetype i = 0; i + 4 <= miniFat.size(); i += 4)
            miniFat_.append(u32At(miniFat, i));
        if (quint8(directory_.at(0x42)) != kRootEntry)
            return fail(error, QStringLiteral("damaged directory"));
        if (!readChain(u32At(directory_, 0x74), entrySize(0), &miniStream_))
            miniStream_.clear(); // only streams kept in it are lost
        return true;
    }

    bool stream(const QStringList& names, QByteArray* out, QString* error) const
    {
        for (qsizetype at = 0; at + kDirectoryEntrySize <= directory_.size(); at += kDirectoryEntrySize) {
            if (quint8(directory_.at(at + 0x42)) != kStreamEntry)
                continue;
            const int nameBytes = qMin<int>(u16At(directory_, at + 0x40), 64);
            if (nameBytes < 2)
                continue;
            const QString name = QString::fromUtf16(reinterpret_cast<const char16_t*>(directory_.constData() + at),
                                                    nameBytes / 2 - 1);
            if (!names.contains(name, Qt::CaseInsensitive))
                continue;
            const qint64 size = entrySize(at);
            const quint32 start = u32At(directory_, at + 0x74);
            const bool ok = size < miniCutoff_ ? readMiniChain(start, size, out) : readChain(start, size, out);
            return ok || fail(error, QStringLiteral("damaged stream %1").arg(name));
        }
        return fail(error, QStringLiteral("no stream %1").arg(names.join(QStringLiteral(" or "))));
    }

private:
    static bool fail(QString* error, const QString& text)
    {
        if (error)
            *error = text;
        return false;
    }

    qint64 entrySize(qsizetype at) const
    {
        // Version 3 files leave the upper half of the size undefined.
        return sectorSize_ == 512 ? qint64(u32At(directory_, at + 0x78))
                                  : qint64(qFromLittleEndian<quint64>(directory_.constData() + at + 0x78) & 0x7FFFFFFF);
    }

    // Sector n as far as it lies inside the file (the last one may be short).
    QByteArray sectorBytes(quint32 n) const
    {
        if (n >= sectorCount_)
            return {};
        return bytes_.mid(kHeaderSize + qint64(n) * sectorSize_, sectorSize_);
    }

    bool readFat(QString* error)
    {
        QList<quint32> fatSectors;
        const quint32 fatCount = u32At(bytes_, 0x2C);
        if (fatCount > sectorCount_)
            return fail(error, QStringLiteral("damaged allocation table"));
        for (int i = 0; i < kHeaderFatSectors && quint32(fatSectors.size()) < fatCount; ++i)
            fatSectors.append(u32At(bytes_, 0x4C + 4 * i));
        quint32 difat = u32At(bytes_, 0x44);
        for (quint32 hops = 0; quint32(fatSectors.size()) < fatCount; ++hops) {
            const QByteArray b = sectorBytes(difat);
            if (b.size() < sectorSize_ || hops >= sectorCount_)
                return fail(error, QStringLiteral("damaged allocation table"));
            for (int i = 0; i + 4 < sectorSize_ && quint32(fatSectors.size()) < fatCount; i += 4)
                fatSectors.append(u32At(b, i));
            difat = u32At(b, sectorSize_ - 4);
        }
        for (quint32 s : fatSectors) {
            const QByteArray b = sectorBytes(s);
            if (b.size() < sectorSize_)
                return fail(error, QStringLiteral("damaged allocation table"));
            for (int i = 0; i < sectorSize_; i += 4)
                fat_.append(u32At(b, i));
        }
        return true;
    }

    // Follows the chain from `start`; `size` < 0 takes every sector. A chain
    // that comes back to a sector is damaged.
    bool readChain(quint32 start, qint64 size, QByteArray* out) const
    {
        out->clear();
        std::vector<bool> seen(fat_.size());
        quint32 s = start;
        while (s != kEndOfChain) {
            if (s > kMaxRegularSector || s >= quint32(fat_.size()) || seen[s])
                return false;
            seen[s] = true;
            const QByteArray b = sectorBytes(s);
            if (b.isEmpty())
                return false;
            out->append(b);
            if (size >= 0 && out->size() >= size)
                break;
            s = fat_.at(s);
        }
        if (size >= 0) {
            if (out->size() < size)
                return false;
            out->truncate(size);
        }
        return true;
    }

    bool readMiniChain(quint32 start, qint64 size, QByteArray* out) const
    {
        constexpr int kMini = 64;
        out->clear();
        std::vector<bool> seen(miniFat_.size());
        quint32 s = start;
        while (out->size() < size) {
            if (s >= quint32(miniFat_.size()) || seen[s] || (qint64(s) + 1) * kMini > miniStream_.size())
                return false;
            seen[s] = true;
            out->append(miniStream_.mid(qint64(s) * kMini, kMini));
            s = miniFat_.at(s);
        }
        out->truncate(size);
        return true;
    }

    const QByteArray& bytes_;
    int sectorSize_ = 512;
    quint32 miniCutoff_ = 4096;
    quint32 sectorCount_ = 0;
    QList<quint32> fat_;
    QList<quint32> miniFat_;
    QByteArray directory_;
    QByteArray miniStream_;
};

} // namespace

bool readCompoundStream(const QByteArray& file, const QStringList& names, QByteArray* stream, QString* error)
{
    CompoundFile cf(file);
    return cf.open(error) && cf.stream(names, stream, error);
}

} // namespace ledsign
