// Where the service keeps a card's playbill: its file, or for a card without
// one a new file in the playbill folder named by a fresh identifier (never
// by anything a caller sent). Saving goes through the editor's playbill
// saver, without its dialogs; a file that other cards name too is not
// written, since their records would no longer match it.
#pragma once

#include "model/datafolder.h"
#include "service/outcome.h"

namespace ledsign {

class ProjectModel;

class PlaybillStore {
public:
    PlaybillStore(ProjectModel& model, const DataFolder& folders);

    // The file the card's playbill is stored in (a new name when it has none).
    QString fileOf(const QString& cardName);
    // Refused (Conflict) when another card names the same file.
    Outcome checkNotShared(const QString& cardName, const QString& path) const;
    // Writes the card's records to its file. False with the file and the
    // system's reason; the old file is then intact.
    Outcome save(const QString& cardName);

private:
    ProjectModel& m_model;
    DataFolder m_folders;
};

} // namespace ledsign
