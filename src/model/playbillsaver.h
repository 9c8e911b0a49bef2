// Saving playbills from the editor: one card under a given name, the
// selected card ("Save", "Save As...") or every modified card (on exit).
// The questions and messages go through PlaybillSaveDialogs, which the main
// window implements with its dialogs and tests implement with answers.
#pragma once

#include "model/datafolder.h"
#include "model/projectmodel.h"

#include <QString>

namespace ledsign {

class PlaybillSaveDialogs {
public:
    virtual ~PlaybillSaveDialogs() = default;
    // The save dialog: starts in `folder`, offers `filter`. Empty when cancelled.
    virtual QString askSaveFileName(const QString& title, const QString& folder, const QString& filter) = 0;
    // A Yes/No question; true for Yes.
    virtual bool askYesNo(const QString& question) = 0;
    virtual void showMessage(const QString& text) = 0;
};

enum SaveMode : int {
    kSaveAllModified = 0, // on exit
    kSaveSelected = 1,    // "Save"
    kSaveSelectedAs = 2,  // "Save As..."
};

class PlaybillSaver {
public:
    enum class Result {
        Done,            // everything asked for was saved (or needed no save)
        NothingSelected, // modes 1 and 2 without a selected card
        Stopped,         // the user refused to overwrite a file
        Failed,          // a file could not be written (reported; the old file is intact)
    };

    PlaybillSaver(ProjectModel& model, const DataFolder& folders, PlaybillSaveDialogs& dialogs);

    // Writes the card's playbill to `path`; unless `quiet`, shows the saved
    // message. On success the card's `programFile` becomes the path, its
    // `modified` flag is cleared and the file is copied into the playbill
    // folder. A failure is shown and leaves the card and the old file as
    // they were.
    bool writePlaybill(const QString& cardName, const QString& path, bool quiet);

    // `selectedCard` is the card of the selected tree node (empty: none).
    Result savePlaybills(int mode, const QString& selectedCard);

    QString errorString() const { return error_; }

    // The save dialog's filter, and its title for a card.
    static QString fileFilter();
    static QString dialogTitle(const QString& cardName);

private:
    // Asks for a file name; empty when cancelled. `refused` is set when the
    // user answered No to overwriting an existing file.
    QString askFileName(const QString& cardName, bool* refused);

    ProjectModel& model_;
    DataFolder folders_;
    PlaybillSaveDialogs& dialogs_;
    QString error_;
};

} // namespace ledsign
