// The send of a text program: the description the card gets first (page
// ids, times and the materials with their play counts), the text frame that
// carries it, and the queue of text materials sent one per tick once the
// card has confirmed the description.
#pragma once

#include "model/projectmodel.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace ledsign {

inline constexpr int kTextFrameLimit = 1024; // bytes of the description frame

struct TextProgramDescription {
    bool ok = false;     // false: a page without materials (nothing is sent)
    QString text;
    QStringList materialIds; // in send order
};

// Builds the description for the pages in the order of the window's rows and
// marks their materials as waiting (the last of each page as last of page).
TextProgramDescription buildTextProgramDescription(ProjectModel& model, const QStringList& pageIds);

// The description as a 0x22 frame; empty when the frame would exceed 1024
// bytes.
QByteArray textProgramDescriptionFrame(const QString& description, quint32 serial);

// The next text material waiting to be sent (type code below 10, first
// download flag 0), or null when none waits.
TFodder* nextWaitingTextMaterial(ProjectModel& model);

} // namespace ledsign
