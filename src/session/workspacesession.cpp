#include "session/workspacesession.h"

#include "language/commmode.h"
#include "language/language.h"
#include "language/languagetable.h"
#include "model/cardtie.h"
#include "model/coalescedwriter.h"
#include "model/playbillreader.h"
#include "transport/cardlink.h"
#include "transport/channelstartup.h"

#include <QDir>
#include <QFileInfo>
#include <QNetworkInterface>
#include <QSet>

namespace ledsign {

namespace {

// A burst of registrations within this delay writes the file once; a card
// registered is on disk well within a second.
constexpr int kAutosaveDelayMs = 300;
// Changes that nobody announces (a typed property, a parameter window) are
// on disk after at most this long.
constexpr int kAutosaveSweepMs = 5000;

} // namespace

QString localIPv4Address()
{
    QString found;
    for (const QNetworkInterface& nic : QNetworkInterface::allInterfaces()) {
        const auto flags = nic.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) || flags.testFlag(QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry& entry : nic.addressEntries()) {
            if (entry.ip().protocol() == QAbstractSocket::IPv4Protocol)
                found = entry.ip().toString();
        }
    }
    return found.isEmpty() ? QStringLiteral("127.0.0.1") : found;
}

WorkspaceSession::WorkspaceSession(const DataFolder& folders)
    : folders_(folders)
    , file_(folders.settingsFile())
    , lock_(folders.path())
    , link_(std::make_unique<CardLink>(model_))
    , autosave_(std::make_unique<CoalescedWriter>(
          [this](QString* error) {
              settings_.lgType = currentLanguage();
              file_.store(settings_, recent_, cardListLines());
              if (file_.saveIfChanged())
                  return true;
              *error = file_.errorString();
              return false;
          },
          kAutosaveDelayMs, kAutosaveSweepMs))
{
    Registrations& r = link_->registrations();
    QObject::connect(&r, &Registrations::cardAdded, autosave_.get(), [this] { noteChange(); });
    QObject::connect(&r, &Registrations::cardUpdated, autosave_.get(), [this] { noteChange(); });
    QObject::connect(&r, &Registrations::treeCleared, autosave_.get(), [this] { noteChange(); });
}

WorkspaceSession::~WorkspaceSession() = default;

WorkspaceSession::StartResult WorkspaceSession::start()
{
    return start(StartOptions{});
}

WorkspaceSession::StartResult WorkspaceSession::start(const StartOptions& options)
{
    error_.clear();
    QString folderError;
    if (!folders_.ensureExists(&folderError)) {
        error_ = folderError;
        return StartResult::FolderError;
    }
    // A file that exists but cannot be read gives the defaults; it is then
    // never written over, so its card list survives.
    if (!file_.load())
        error_ = file_.errorString();
    const QString local = options.localAddress.isEmpty() ? localIPv4Address() : options.localAddress;
    settings_ = file_.settings(local);
    recent_ = file_.recentFiles();

    language_ = chooseStartupLanguage(settings_.lgType, options.locale);
    switchLanguage(language_.language);

    switch (lock_.tryLock()) {
    case InstanceLock::Status::Acquired:
        break;
    case InstanceLock::Status::AlreadyRunning:
        return StartResult::AlreadyRunning;
    case InstanceLock::Status::Error:
        error_ = lock_.errorString();
        return StartResult::FolderError;
    }

    chooseServerPort(settings_, currentCommModeTexts(), options.bindPort ? options.bindPort : PortBinder(tryBindTcpPort));
    title_ = readTitle(folders_.titleFile());
    return StartResult::Ready;
}

QStringList WorkspaceSession::loadCards(const MessageSink& report)
{
    QStringList unread;
    PlaybillReader reader(model_, folders_);
    // Each card below is new and each read adds records of its own card
    // only: with no records before, no read has anything to clear.
    reader.setCardsStartEmpty(model_.pages().isEmpty() && model_.regions().isEmpty() && model_.materials().isEmpty());
    for (const CardListLine& line : file_.cardList(folders_.programFolder())) {
        // A name listed twice keeps its first line, as a look-up by name would.
        if (model_.findCard(line.name))
            continue;
        noteRefusedSize(line);
        TFIXModem card;
        card.linkKind = 0;
        card.name = line.name;
        takeListedValues(card, line);
        card.fontCount = kDefaultFontCount;
        card.fontSizeCount = kDefaultFontSizeCount;
        card.panelName = QStringLiteral("pnCard%1").arg(model_.nextPanelNumber());
        model_.addCard(card);
        readListedPlaybill(line, reader, unread, report);
    }
    noteSharedPlaybills();
    return unread;
}

void WorkspaceSession::noteRefusedSize(const CardListLine& line)
{
    if (!line.refusedSize.isEmpty()) {
        loadNotes_ << messageText(QStringLiteral("warn_card_size_refused"))
                          .arg(line.name, line.refusedSize)
                          .arg(line.width)
                          .arg(line.height);
    }
    if (!line.refusedVersion.isEmpty()) {
        loadNotes_ << messageText(QStringLiteral("warn_card_version_refused"))
                          .arg(line.name, folders_.settingsFile(), line.refusedVersion);
    }
}

void WorkspaceSession::takeListedValues(TFIXModem& card, const CardListLine& line)
{
    card.width = line.width;
    card.height = line.height;
    card.internalCode = line.internalCode;
    card.ipAddress = line.ipAddress;
    card.macAddress = line.macAddress;
    card.version = line.version;
    card.colorType = line.colorType;
}

void WorkspaceSession::readListedPlaybill(const CardListLine& line, PlaybillReader& reader, QStringList& unread,
                                          const MessageSink& report)
{
    if (line.programFile.isEmpty())
        return;
    if (!QFileInfo(line.programFile).isFile()) {
        unreadPlaybills_.insert(line.name, line.programFile);
        return;
    }
    const PlaybillReader::Status status = reader.open(line.name, line.programFile, report);
    const QString damage = reader.damageText(line.programFile);
    if (!damage.isEmpty())
        loadNotes_ << damage;
    if (status != PlaybillReader::Status::Loaded) {
        unreadPlaybills_.insert(line.name, line.programFile);
        unread << line.name;
    } else {
        unreadPlaybills_.remove(line.name);
    }
}

bool WorkspaceSession::reloadCards(const std::function<void(const QString&)>& removing, const MessageSink& report)
{
    SettingsFile fresh(folders_.settingsFile());
    if (!fresh.load()) {
        error_ = fresh.errorString();
        return false;
    }
    const QList<CardListLine> lines = fresh.cardList(folders_.programFolder());
    file_ = fresh;
    loadNotes_.clear();

    QSet<QString> listed;
    for (const CardListLine& line : lines)
        listed.insert(line.name);
    QStringList gone;
    for (const TFIXModem& card : model_.cards()) {
        if (!listed.contains(card.name))
            gone << card.name;
    }
    for (const QString& name : std::as_const(gone)) {
        if (removing)
            removing(name);
        model_.removeCard(name);
        unreadPlaybills_.remove(name);
    }

    QStringList unread;
    PlaybillReader reader(model_, folders_);
    QSet<QString> seen;
    for (const CardListLine& line : lines) {
        if (seen.contains(line.name))
            continue;
        seen.insert(line.name);
        noteRefusedSize(line);
        if (const auto known = model_.findCard(line.name)) {
            takeListedValues(*known.record, line);
        } else {
            TFIXModem card;
            card.linkKind = 0;
            card.name = line.name;
            takeListedValues(card, line);
            card.fontCount = kDefaultFontCount;
            card.fontSizeCount = kDefaultFontSizeCount;
            card.panelName = QStringLiteral("pnCard%1").arg(model_.nextPanelNumber());
            model_.addCard(card);
        }
        readListedPlaybill(line, reader, unread, report);
    }
    model_.cardsChanged();
    noteSharedPlaybills();
    return true;
}

QString WorkspaceSession::holderNote() const
{
    const QString holder = lock_.holderText();
    if (holder.isEmpty())
        return {};
    return QStringLiteral("%1 holds the data folder %2.").arg(holder, QDir::toNativeSeparators(folders_.path()));
}

void WorkspaceSession::noteSharedPlaybills()
{
    for (const SharedPlaybill& shared : sharedPlaybills(model_))
        loadNotes_ << sharedPlaybillText(shared.cards, shared.path);
}

QList<CardListLine> WorkspaceSession::cardListLines() const
{
    QList<CardListLine> lines;
    for (const TFIXModem& c : model_.cards()) {
        CardListLine line;
        line.name = c.name;
        line.width = c.width;
        line.height = c.height;
        line.programFile = c.programFile.isEmpty() ? unreadPlaybills_.value(c.name) : c.programFile;
        line.internalCode = c.internalCode;
        line.ipAddress = c.ipAddress;
        line.macAddress = c.macAddress;
        line.version = c.version;
        line.colorType = c.colorType;
        lines << line;
    }
    return lines;
}

void WorkspaceSession::keepListedPlaybill(const QString& cardName, const QString& path)
{
    if (!path.isEmpty())
        unreadPlaybills_.insert(cardName, path);
}

void WorkspaceSession::startAutosave()
{
    autosave_->start();
}

void WorkspaceSession::noteChange()
{
    autosave_->noteChange();
}

bool WorkspaceSession::saveSettings()
{
    settings_.lgType = currentLanguage();
    if (!file_.saveSettings(settings_, recent_, cardListLines())) {
        error_ = file_.errorString();
        return false;
    }
    return true;
}

void WorkspaceSession::switchLanguage(int index)
{
    setCurrentLanguage(index);
    settings_.lgType = currentLanguage();
    settings_.commMode = normalizedCommMode(settings_.commMode, settings_.commParam01, currentLanguageTable());
}

bool WorkspaceSession::anyCardModified() const
{
    for (const TFIXModem& c : model_.cards()) {
        if (c.modified)
            return true;
    }
    return false;
}

QString WorkspaceSession::caption() const
{
    if (!title_.isEmpty())
        return captionText(title_, QString());
    return currentLanguageTable().text(0, QStringLiteral("frmMain"));
}

QStringList WorkspaceSession::iconFiles() const
{
    QStringList icons;
    const QDir dir(folders_.path());
    for (const QFileInfo& info : dir.entryInfoList(QDir::Files, QDir::Name)) {
        if (info.suffix().toUpper() == QLatin1String("ICO"))
            icons << info.absoluteFilePath();
    }
    return icons;
}

} // namespace ledsign
