// Sets up the model the subcommands work on: one card, taken from the data
// folder's card list or made from the command line's size and colours, with
// the playbill file read into it.
#pragma once

#include "clioptions.h"

#include "model/datafolder.h"
#include "model/projectmodel.h"

#include <QString>

namespace ledsign::cli {

struct LoadedPlaybill {
    ProjectModel model;
    DataFolder folders;
    QString cardName;
};

// Loads the card and its playbill. False with `error` when the card is not
// in the card list or the playbill cannot be read.
bool loadPlaybill(const CardOptions& options, LoadedPlaybill& out, QString& error);

// Reads the playbill file into the card record `cardName` of the model.
// False with `error` when the file cannot be read.
bool readPlaybillInto(ProjectModel& model, const DataFolder& folders, const QString& cardName, const QString& path,
                      QString& error);

// The table materials of the card whose rows do not all reach the card:
// one line per such material ("material NAME: ..."), for stderr.
QStringList unsentTableRows(const ProjectModel& model, const QString& cardName);

} // namespace ledsign::cli
