#include "content/fontresolver.h"

#include <QCoreApplication>
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHash>
#include <QMutex>
#include <QSet>
#include <QThread>

#include <iterator>

namespace ledsign {

namespace {

constexpr const char* kUming = "AR PL UMing CN";
constexpr const char* kUkai = "AR PL UKai CN";
constexpr const char* kZenHei = "WenQuanYi Zen Hei";
constexpr const char* kSans = "Liberation Sans";
constexpr const char* kSerif = "Liberation Serif";
constexpr const char* kMono = "Liberation Mono";

struct NameMapping {
    const char* cardName;
    const char* family;
};

// Chinese names first, in the order the card fonts are coded; then the Latin
// names. Metric-compatible stand-ins keep the widths the playbill was laid out
// against (Liberation for Arial, Times New Roman and Courier New; Carlito and
// Caladea for Calibri and Cambria). The others have no such twin: DejaVu Sans
// (Bitstream Vera) is as wide and open as Verdana, DejaVu Serif as Georgia;
// Tahoma and the other system sans fonts take Liberation Sans.
constexpr NameMapping kChinese[] = {
    {"宋体", kUming}, {"楷体_GB2312", kUkai}, {"黑体", kZenHei}, {"隶书", kUkai}, {"华文行楷", kUkai},
    {"行书", kUkai}, {"新宋体", kUming}, {"SimSun", kUming}, {"NSimSun", kUming},
    {"SimHei", kZenHei}, {"微软雅黑", kZenHei}, {"Microsoft YaHei", kZenHei},
    {"楷体", kUkai}, {"KaiTi", kUkai}, {"KaiTi_GB2312", kUkai}, {"LiSu", kUkai},
    {"STXingkai", kUkai}, {"仿宋", kUkai}, {"仿宋_GB2312", kUkai}, {"FangSong", kUkai},
};
constexpr NameMapping kLatin[] = {
    {"Arial", kSans}, {"Helvetica", kSans}, {"Tahoma", kSans}, {"Segoe UI", kSans},
    {"Microsoft Sans Serif", kSans}, {"MS Sans Serif", kSans},
    {"Times New Roman", kSerif}, {"Times", kSerif},
    {"Courier New", kMono}, {"Courier", kMono}, {"Consolas", kMono}, {"Lucida Console", kMono},
    {"Verdana", "DejaVu Sans"}, {"Georgia", "DejaVu Serif"},
    {"Calibri", "Carlito"}, {"Cambria", "Caladea"},
};
// The stand-ins under their own names: earlier editors offered the installed fonts.
constexpr NameMapping kOwnNames[] = {
    {kSans, kSans}, {kSerif, kSerif}, {kMono, kMono}, {"DejaVu Sans", "DejaVu Sans"},
    {"DejaVu Serif", "DejaVu Serif"}, {"DejaVu Sans Mono", "DejaVu Sans Mono"},
    {"Carlito", "Carlito"}, {"Caladea", "Caladea"}, {kUming, kUming}, {kUkai, kUkai},
    {kZenHei, kZenHei}, {"WenQuanYi Zen Hei Sharp", kZenHei},
};
constexpr int kCardFonts = 5; // the first five Chinese names are the card's own fonts

bool isChineseFamily(const QString& family)
{
    return family == QLatin1String(kUming) || family == QLatin1String(kUkai) || family == QLatin1String(kZenHei);
}

// The files of the Debian font packages the stand-ins come from.
constexpr const char* kPackagedFiles[] = {
    "truetype/arphic/uming.ttc", "truetype/arphic/ukai.ttc", "truetype/wqy/wqy-zenhei.ttc",
    "truetype/liberation2/LiberationSans-Regular.ttf", "truetype/liberation2/LiberationSans-Bold.ttf",
    "truetype/liberation2/LiberationSans-Italic.ttf", "truetype/liberation2/LiberationSans-BoldItalic.ttf",
    "truetype/liberation2/LiberationSerif-Regular.ttf", "truetype/liberation2/LiberationSerif-Bold.ttf",
    "truetype/liberation2/LiberationSerif-Italic.ttf", "truetype/liberation2/LiberationSerif-BoldItalic.ttf",
    "truetype/liberation2/LiberationMono-Regular.ttf", "truetype/liberation2/LiberationMono-Bold.ttf",
    "truetype/liberation2/LiberationMono-Italic.ttf", "truetype/liberation2/LiberationMono-BoldItalic.ttf",
    "truetype/dejavu/DejaVuSans.ttf", "truetype/dejavu/DejaVuSans-Bold.ttf",
    "truetype/dejavu/DejaVuSans-Oblique.ttf", "truetype/dejavu/DejaVuSans-BoldOblique.ttf",
    "truetype/dejavu/DejaVuSerif.ttf", "truetype/dejavu/DejaVuSerif-Bold.ttf",
    "truetype/dejavu/DejaVuSerif-Italic.ttf", "truetype/dejavu/DejaVuSerif-BoldItalic.ttf",
    "truetype/dejavu/DejaVuSansMono.ttf", "truetype/dejavu/DejaVuSansMono-Bold.ttf",
    "truetype/dejavu/DejaVuSansMono-Oblique.ttf", "truetype/dejavu/DejaVuSansMono-BoldOblique.ttf",
    "truetype/crosextra/Carlito-Regular.ttf", "truetype/crosextra/Carlito-Bold.ttf",
    "truetype/crosextra/Carlito-Italic.ttf", "truetype/crosextra/Carlito-BoldItalic.ttf",
    "truetype/crosextra/Caladea-Regular.ttf", "truetype/crosextra/Caladea-Bold.ttf",
    "truetype/crosextra/Caladea-Italic.ttf", "truetype/crosextra/Caladea-BoldItalic.ttf",
};

QString fontsDirectory()
{
    const QByteArray dir = qgetenv("LEDSIGN_FONTS_DIR");
    return dir.isEmpty() ? QStringLiteral("/usr/share/fonts") : QString::fromLocal8Bit(dir);
}

void noteUnknown(const QString& name, const QString& family)
{
    static QMutex mutex;
    static QSet<QString> told;
    {
        QMutexLocker lock(&mutex);
        if (told.contains(name))
            return;
        told.insert(name);
    }
    // Queued: drawing may happen on a recording thread, the listeners live on the window's.
    QMetaObject::invokeMethod(&UnknownFontNotice::instance(),
                              [name, family] { emit UnknownFontNotice::instance().unknownFontDrawn(name, family); },
                              Qt::QueuedConnection);
}

} // namespace

FontStandIn fontStandIn(const QString& cardFontName)
{
    const QString name = cardFontName.trimmed();
    if (name.isEmpty())
        return {QString::fromLatin1(kUming), true};
    // Built once; read from any thread afterwards.
    static const QHash<QString, QString> byName = [] {
        QHash<QString, QString> names;
        const auto add = [&names](const auto& table) {
            for (const NameMapping& m : table)
                names.insert(QString::fromUtf8(m.cardName).toCaseFolded(), QString::fromUtf8(m.family));
        };
        add(kChinese);
        add(kLatin);
        add(kOwnNames);
        return names;
    }();
    const auto it = byName.constFind(name.toCaseFolded());
    if (it != byName.constEnd())
        return {*it, true};
    return {fallbackFontFamily(), false};
}

QStringList cardFontFamilies(const QString& cardFontName)
{
    registerPackagedFonts();
    const FontStandIn standIn = fontStandIn(cardFontName);
    if (!standIn.known)
        noteUnknown(cardFontName.trimmed(), standIn.family);
    QStringList families{standIn.family};
    if (!isChineseFamily(standIn.family))
        families << QString::fromLatin1(kUming);
    return families;
}

void tellFontsWithoutStandIn(const QStringList& cardFontNames)
{
    for (const QString& name : cardFontNames) {
        const FontStandIn standIn = fontStandIn(name);
        if (!standIn.known)
            noteUnknown(name.trimmed(), standIn.family);
    }
}

QStringList knownCardFontNames()
{
    QStringList names;
    for (int i = 0; i < kCardFonts; ++i)
        names << QString::fromUtf8(kChinese[i].cardName);
    for (const NameMapping& m : kLatin)
        names << QString::fromLatin1(m.cardName);
    return names;
}

QString fallbackFontFamily()
{
    return QString::fromLatin1(kSans);
}

QStringList registerPackagedFonts()
{
    static QStringList missing;
    static bool done = false;
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (done || !app || QThread::currentThread() != app->thread())
        return missing;
    done = true;
    const QString dir = fontsDirectory();
    for (const char* file : kPackagedFiles) {
        const QString path = dir + QLatin1Char('/') + QLatin1String(file);
        if (!QFile::exists(path) || QFontDatabase::addApplicationFont(path) < 0)
            missing << path;
    }
    return missing;
}

UnknownFontNotice& UnknownFontNotice::instance()
{
    static UnknownFontNotice notice;
    return notice;
}

} // namespace ledsign
