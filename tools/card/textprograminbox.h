// The card's memory of a text program: the description (pages with their
// play times, the materials of each page with their play counts) and the
// text materials that follow it, each checked against the description. The
// card renders the text itself, so it keeps the text as it came.
#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

namespace ledsign::card {

struct TextProgramEntry {
    QString id;
    int playTimes = 0;
    QString spare28;
};

struct TextProgramPage {
    QString startTime;  // "HH:mm"
    QString endTime;
    QList<TextProgramEntry> entries;
};

struct TextProgramMaterial {
    QString id;
    int displayMode = 0;
    int displaySpeed = 0;
    int remainTime = 0;
    QByteArray cardText;   // the bytes as sent
    QString text;          // the same, decoded
    bool endMarker = false;
};

struct TextMaterialVerdict {
    bool ok = false;
    QString error;
    QString id;
    bool endMarker = false;
    bool completesProgram = false; // every material of the description is here now
};

class TextProgramInbox {
public:
    // Whether a 0x22 description is a text program's rather than a
    // playbill's: a text program keeps its times as text and names each
    // material only by id.
    static bool isTextProgramDescription(const QByteArray& description);

    // A new description replaces the text program received before. False
    // when it cannot be read; the reason is in `error`.
    bool takeDescription(const QByteArray& description, QString& error);
    bool hasDescription() const { return !m_pages.isEmpty(); }

    // A text-program text frame (already checked as a frame). The material
    // must be one the description announced, and it must carry the end
    // marker exactly when it is the last of its page.
    TextMaterialVerdict takeMaterialFrame(const QByteArray& frame);

    const QString& firstPageId() const { return m_firstPageId; }
    const QList<TextProgramPage>& pages() const { return m_pages; }
    int expectedCount() const;
    // Received materials in the order of the description (missing ones left out).
    QList<TextProgramMaterial> materials() const;
    bool complete() const { return hasDescription() && m_received.size() == expectedCount(); }

    // The text program as a short text file: one line per page and material.
    QString summary() const;

private:
    const TextProgramEntry* entry(const QString& id, bool* lastOfPage) const;

    QString m_firstPageId;
    QList<TextProgramPage> m_pages;
    QMap<QString, TextProgramMaterial> m_received; // by id
};

} // namespace ledsign::card
