// What the main window holds for the whole run without being a window: the
// data folder and its instance lock, the settings file with the settings,
// recent files and card list, the language choice, the project model and
// the loading of every card's playbill at start-up. On exit it writes the
// settings back.
#pragma once

#include "language/languagechoice.h"
#include "model/cardlist.h"
#include "model/datafolder.h"
#include "model/instancelock.h"
#include "model/projectmodel.h"
#include "model/recentfiles.h"
#include "model/serverport.h"
#include "model/settings.h"
#include "model/settingsfile.h"

#include <QHash>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace ledsign {

class CardLink;
class CoalescedWriter;
class PlaybillReader;

class WorkspaceSession {
public:
    struct StartOptions {
        QLocale locale = QLocale::system();
        // How the server port search binds a port (tests pass their own).
        PortBinder bindPort = tryBindTcpPort;
        // The default of "ServerIP"; empty: this host's address.
        QString localAddress;
    };

    enum class StartResult {
        Ready,
        AlreadyRunning, // another instance works on this data folder
        FolderError,    // the data folder could not be made or locked
    };

    explicit WorkspaceSession(const DataFolder& folders);
    ~WorkspaceSession();
    WorkspaceSession(const WorkspaceSession&) = delete;
    WorkspaceSession& operator=(const WorkspaceSession&) = delete;

    // Makes the folders, reads the settings, chooses the language (so the
    // second-instance message can be shown in it), takes the instance lock
    // and chooses the server port. Cards are loaded by loadCards().
    StartResult start();
    StartResult start(const StartOptions& options);
    QString errorString() const { return error_; }
    // After AlreadyRunning: which program holds the data folder, and where,
    // as "ledsignd (process 1234) holds the data folder /var/lib/ledsign.";
    // empty when that cannot be told.
    QString holderNote() const;

    // One card record per line of the stored card list, in file order, and
    // each card's playbill when its file exists. A playbill that cannot be
    // read leaves its card empty and the loading goes on with the next
    // card. Returns the names of those cards; messages go to `report`.
    QStringList loadCards(const MessageSink& report = {});
    // Reads the card list of the settings file again: cards no longer listed
    // are removed (`removing` is told first), listed cards take the stored
    // values and have their playbills read again, new ones are added as at
    // start; a card that stays keeps its link (connection, on-line state).
    // False, with the reason, when the file cannot be read; nothing changes
    // then.
    bool reloadCards(const std::function<void(const QString&)>& removing, const MessageSink& report = {});
    // What loadCards() dropped from damaged playbills, one text per file.
    QStringList loadNotes() const { return loadNotes_; }

    // The card list as it will be stored: one line per card in list order.
    // A card whose stored playbill could not be read keeps naming that file
    // until it gets one of its own.
    QList<CardListLine> cardListLines() const;
    // A card emptied without a save (New playbill) keeps naming the file it
    // had, which still holds its playbill, until it gets one of its own.
    void keepListedPlaybill(const QString& cardName, const QString& path);

    // Writes the recent files, the card list and the settings.
    bool saveSettings();

    // From now on the card list and the settings are written soon after
    // they change: registrations of the card link announce themselves, the
    // window calls noteChange() after its commands, and a sweep catches the
    // rest. A burst of changes writes once.
    void startAutosave();
    void noteChange();
    CoalescedWriter& autosave() { return *autosave_; }

    // Makes the language current and re-derives the mode text from it.
    void switchLanguage(int index);

    bool anyCardModified() const;

    // The main window's caption: "Title.ini" and the version, or the
    // language's caption.
    QString caption() const;
    QString title() const { return title_; }
    // ".ico" files of the data folder, in name order (the last one is used).
    QStringList iconFiles() const;

    const DataFolder& folders() const { return folders_; }
    ProjectModel& model() { return model_; }
    const ProjectModel& model() const { return model_; }
    AppSettings& settings() { return settings_; }
    const AppSettings& settings() const { return settings_; }
    RecentFiles& recentFiles() { return recent_; }
    const StartupLanguage& startupLanguage() const { return language_; }
    SettingsFile& settingsFile() { return file_; }
    // Everything between the program and its cards. Made with the session;
    // no channel opens until the window asks for it.
    CardLink& link() { return *link_; }

private:
    // Cards of the list that read one playbill file are named in the notes.
    void noteSharedPlaybills();
    void noteRefusedSize(const CardListLine& line);
    static void takeListedValues(TFIXModem& card, const CardListLine& line);
    void readListedPlaybill(const CardListLine& line, PlaybillReader& reader, QStringList& unread,
                            const MessageSink& report);

    DataFolder folders_;
    SettingsFile file_;
    InstanceLock lock_;
    AppSettings settings_;
    RecentFiles recent_;
    StartupLanguage language_;
    ProjectModel model_;
    std::unique_ptr<CardLink> link_;
    std::unique_ptr<CoalescedWriter> autosave_;
    QString title_;
    QString error_;
    // Playbill files the card list names for cards without one of their
    // own (unread at the start, or left by an emptied card), by card.
    QHash<QString, QString> unreadPlaybills_;
    QStringList loadNotes_;
};

// The address this host is reached at: the last IPv4 address of an
// interface that is up and not a loopback; "127.0.0.1" when there is none.
QString localIPv4Address();

} // namespace ledsign
