// What the text-program window does with its pages and text materials,
// without the window: the checks of every field with the message each
// failure gives, the cut of long content at 3500 bytes, creating,
// editing and removing pages and materials in the program's lists, and
// replacing them with the contents of a ".tprg" file.
#pragma once

#include "model/materialkind.h"
#include "model/projectmodel.h"
#include "protocol/textprogramfile.h"

#include <QString>
#include <QTime>

namespace ledsign {

inline constexpr int kTextProgramContentLimit = 3500; // bytes of one material's markup
inline constexpr int kTextProgram485Limit = 256;      // bytes of the editor text on an RS-485 line
// The kind of the text-program window's materials, outside the list of kinds.
inline constexpr MaterialKind kTextProgramKind = static_cast<MaterialKind>(-1);
inline constexpr int kTextProgramMaxTypeCode = 16;    // below: text-program materials

// The outcome of a check: the language key of the message (category 3),
// shown in the window's status bar or, when `messageBox`, in a message box.
struct TextProgramCheck {
    bool ok = true;
    QString key;
    bool messageBox = false;

    static TextProgramCheck fail(const char* key, bool box = false) { return {false, QString::fromLatin1(key), box}; }
};

// The material fields as the window holds them; a list index of -1 means
// nothing chosen.
struct TextMaterialForm {
    QString name;
    QString playTimes;
    int displayMode = -1;
    int displaySpeed = -1;
    QString remainTime;
    QString editorText;  // the editor's plain text
    int contentAttribute = -1;
    int color = -1;
    int font = -1;
    int size = -1;
};

// Markup cut to the material limit: what the material gets and what goes
// back into the editor.
struct ContentCut {
    QString content;
    QString rest;
};

// Cuts text-program markup to 3500 bytes of the card's encoding: a single
// run is cut after byte 3500 (3499 when byte 3500 begins a two-byte
// character) and the rest starts with the run's colour, font and size;
// several runs are taken whole while they fit.
ContentCut cutTextProgramContent(const QString& markup);

// The text-program file a remote-server-text material keeps: the first file
// of its list (empty when none).
QString textProgramFileOf(const TFodder& material);
// After the window closes: the material keeps the file last saved or opened
// there as its only file; an empty name leaves the list as it was.
void keepTextProgramFile(TFodder& material, const QString& file);

class TextProgram {
public:
    explicit TextProgram(ProjectModel& model);

    static TextProgramCheck checkPage(const QString& name, const QTime& start, const QTime& end);
    // Adds a page (name trimmed, times as "HH:mm"); returns its id.
    QString addPage(const QString& name, const QTime& start, const QTime& end, const QString& everyDayText);
    bool editPage(const QString& id, const QString& name, const QTime& start, const QTime& end);
    // Removes the page; its materials stay.
    bool removePage(const QString& id);

    static TextProgramCheck checkMaterial(const TextMaterialForm& form, bool rs485);
    // Adds a material to the page from the form and the (already cut) markup.
    QString addMaterial(const QString& pageId, const TextMaterialForm& form, const QString& content);
    bool editMaterial(const QString& id, const TextMaterialForm& form, const QString& markup);
    bool removeMaterial(const QString& id);

    // The text-program pages in list order, and the materials of one page.
    QList<TProgram> pages() const;
    QList<TFodder> materialsOf(const QString& pageId) const;
    QList<TFodder> allMaterials() const;
    const TProgram* page(const QString& id) const;
    const TFodder* material(const QString& id) const;

    // The file's contents; false (and nothing written) when there is no page
    // or no material.
    bool hasContent() const;
    TextProgramData data() const;
    // Replaces every text-program page and material with the file's.
    void replaceWith(const TextProgramData& data);

private:
    ProjectModel& model_;
};

} // namespace ledsign
