#include "model/projectmodel.h"
#include "service/textmaterials.h"

#include <QJsonArray>

#include <gtest/gtest.h>

namespace ledsign {
namespace {

TEST(TextMaterials, PlainTextOfTheRuns)
{
    const struct {
        const char* markup;
        const char* text;
    } cases[] = {
        {"clRed^宋体^12^0^0^0^0^0^1^Hello", "Hello"},
        {"clRed^宋体^12^0^0^0^0^0^1^Two ~*clLime^黑体^16^1^0^0^0^0^1^colours", "Two colours"},
        {"clRed^宋体^12^0^0^0^0^0^1^one~*clRed^宋体^12^0^0^0^0^0^1^\n~*clRed^宋体^12^0^0^0^0^0^2^two", "one\ntwo"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(plainTextOfTextRuns(QString::fromUtf8(c.markup)), QString::fromUtf8(c.text)) << c.markup;
}

TEST(TextMaterials, TheTextKindsOfOneCardWithItsPageCount)
{
    ProjectModel model;
    TFIXModem hall;
    hall.name = QStringLiteral("Hall");
    model.cards().append(hall);
    for (const char* page : {"p1", "p2"}) {
        TProgram p;
        p.cardName = QStringLiteral("Hall");
        p.name = QLatin1String(page);
        model.appendPage(p);
    }
    const struct {
        const char* card;
        const char* name;
        MaterialKind kind;
    } materials[] = {
        {"Hall", "title", kSingleText}, {"Hall", "clock", kDateTime}, {"Hall", "notes", kMultiText},
        {"Hall", "board", kRemoteText}, {"Other", "title", kSingleText},
    };
    for (const auto& m : materials) {
        TFodder f;
        f.cardName = QLatin1String(m.card);
        f.name = QLatin1String(m.name);
        f.kind = m.kind;
        f.content = QStringLiteral("clRed^宋体^12^0^0^0^0^0^1^") + f.name;
        model.materials().append(f);
    }
    CardTextMaterials found;
    EXPECT_FALSE(textMaterialsOf(model, QStringLiteral("Nobody"), &found));
    ASSERT_TRUE(textMaterialsOf(model, QStringLiteral("Hall"), &found));
    EXPECT_EQ(found.pages, 2);
    const QJsonObject json = toJson(QStringLiteral("Hall"), found);
    const QJsonArray texts = json["texts"].toArray();
    ASSERT_EQ(texts.size(), 3) << "the clock and the other card's text are no texts of Hall";
    EXPECT_EQ(texts[0].toObject(), (QJsonObject{{"material", "title"}, {"kind", "single"}, {"text", "title"}}));
    EXPECT_EQ(texts[1].toObject(), (QJsonObject{{"material", "notes"}, {"kind", "multi"}, {"text", "notes"}}));
    EXPECT_EQ(texts[2].toObject(), (QJsonObject{{"material", "board"}, {"kind", "remote"}, {"text", ""}}));
}

} // namespace
} // namespace ledsign
