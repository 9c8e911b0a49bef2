#include "editingfixture.h"

#include "editing/cardsnapshot.h"
#include "model/materialkinds.h"

using namespace ledsign;
using namespace ledsign::test;

namespace {

class ChangedCards : public EditingFixture {};

// The walk that finds the edited cards names exactly the cards whose
// snapshots differ, for each kind of change, and no card an edit left alone.
TEST_F(ChangedCards, AreTheCardsWhosePlaybillDiffersAndNoOthers)
{
    for (const char* name : {"A", "B", "C", "D"}) {
        const NodePath r = region(page(card(QString::fromLatin1(name))));
        material(r, kSingleText);
        material(r, kMultiText);
    }
    const QHash<QString, CardSnapshot> known = takeAllSnapshots(*model);
    EXPECT_TRUE(cardsChangedSince(*model, known).isEmpty());

    auto materialOf = [this](const char* card, int i) -> TFodder& {
        qsizetype seen = 0;
        for (TFodder& m : model->materials()) {
            if (m.cardName == QLatin1String(card) && seen++ == i)
                return m;
        }
        return model->materials().first();
    };
    materialOf("A", 1).content = QStringLiteral("typed");          // a field
    std::swap(materialOf("B", 0), materialOf("B", 1));             // an order
    page(NodePath::ofCard(QStringLiteral("C")));                   // a record more
    model->findCard(QStringLiteral("D")).record->remoteTextFree = 0; // a card field

    const QSet<QString> changed = cardsChangedSince(*model, known);
    const QHash<QString, CardSnapshot> now = takeAllSnapshots(*model);
    QSet<QString> differing;
    for (auto it = known.cbegin(); it != known.cend(); ++it) {
        if (!samePlaybill(it.value(), now.value(it.key())))
            differing.insert(it.key());
    }
    EXPECT_EQ(changed, (QSet<QString>{"A", "B", "C", "D"}));
    EXPECT_EQ(changed, differing);

    // Removing a card's last material is a change of that card alone; what
    // a send writes into a material is none.
    const QHash<QString, CardSnapshot> later = takeAllSnapshots(*model);
    materialOf("B", 0).sendNo = 7;
    for (qsizetype i = model->materials().size() - 1; i >= 0; --i) {
        if (model->materials().at(i).cardName == QLatin1String("C")) {
            model->materials().removeAt(i);
            break;
        }
    }
    EXPECT_EQ(cardsChangedSince(*model, later), QSet<QString>{"C"});
}

} // namespace
