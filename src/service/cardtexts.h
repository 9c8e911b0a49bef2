// Setting the text of a card's text material from outside: a single- or
// multi-line text gets the text run markup its editor would write (in the
// look of its text so far, or the look asked for) and the card's playbill is
// stored; a remote-text material gets the text as the first text of its text
// program, whose file is stored (and made when the material had none), and
// that text program is what the card is to be sent. The limits are the
// editors': 1 MiB of stored text, 3500 bytes of a text-program text, 256
// characters on an RS-485 line.
#pragma once

#include "model/datafolder.h"
#include "protocol/textprogramfile.h"
#include "service/outcome.h"
#include "service/textchange.h"

#include <optional>

namespace ledsign {

class PlaybillStore;
class ProjectModel;
struct TFodder;

struct TextResult {
    Outcome outcome;
    std::optional<TextProgramData> textProgram; // set: send this instead of the playbill
};

class CardTexts {
public:
    CardTexts(ProjectModel& model, PlaybillStore& store, const DataFolder& folders);

    TextResult setText(const QString& cardName, const QString& materialName, const TextChange& change, bool rs485);

private:
    // The card's one material of that name; refused when none or several.
    Outcome findMaterial(const QString& cardName, const QString& materialName, qsizetype* index) const;
    Outcome setTextRuns(qsizetype index, const TextChange& change);
    TextResult setTextProgram(qsizetype index, const TextChange& change, bool rs485);

    ProjectModel& m_model;
    PlaybillStore& m_store;
    DataFolder m_folders;
};

} // namespace ledsign
