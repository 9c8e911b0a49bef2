// Reads a playbill file into a card: the card's pages, regions and
// materials are replaced by the file's. Malformed lines are skipped; a
// region that does not fit the card fails the whole load and leaves the
// card empty; a field that should be a number and is not stops the load at
// that line, keeping what was read before it.
#pragma once

#include "model/datafolder.h"
#include "model/projectmodel.h"

#include <QString>

class QIODevice;

namespace ledsign {

class PlaybillReader {
public:
    enum class Status {
        Loaded,
        FileMissing,    // nothing happened
        NoSuchCard,     // nothing happened
        ReadFailed,     // the file could not be read; the card is left as it was
        RegionOutside,  // a region does not fit the card; the card is left empty
        BadNumber,      // stopped at a line; what was read before it stays
    };

    PlaybillReader(ProjectModel& model, const DataFolder& folders);

    // Reads the file at `path` into the card. When loaded, the card's
    // `programFile` is the path, `modified` is cleared and the file is
    // copied into the playbill folder. Messages meant for the user (missing
    // image files, the load failure) go to `report`.
    Status open(const QString& cardName, const QString& path, const MessageSink& report = {});

    // Reads the content of `device` into the card; `programFile` stays cleared.
    Status read(const QString& cardName, QIODevice& device, const MessageSink& report = {});

    // The cards read have no pages, regions or materials yet (the start-up
    // load of the card list): there is nothing to clear before a read.
    void setCardsStartEmpty(bool empty) { cardsStartEmpty_ = empty; }

    QString errorString() const { return error_; }
    // 1-based line of the file where a load stopped; 0 otherwise.
    int errorLine() const { return errorLine_; }

    // What the last read dropped: data lines it could not use (too few
    // fields, an owner not in the file, an unknown kind, text before the
    // first section), and whether the file ends before its last section,
    // as a file cut short does.
    int skippedLines() const { return skipped_; }
    bool endsEarly() const { return endsEarly_; }
    // A status text naming the file and what was dropped; empty when the
    // read dropped nothing.
    QString damageText(const QString& path) const;

private:
    Status readBytes(const QString& cardName, const QByteArray& bytes, const MessageSink& report);
    Status fail(const QString& cardName, Status status, const QString& error, int line,
                const MessageSink& report);

    ProjectModel& model_;
    DataFolder folders_;
    QString error_;
    int errorLine_ = 0;
    bool cardsStartEmpty_ = false;
    int skipped_ = 0;
    bool endsEarly_ = false;
};

} // namespace ledsign
