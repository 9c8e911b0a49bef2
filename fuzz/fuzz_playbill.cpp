// Playbill reader, for a card that is in the list.
#include <QBuffer>
#include <QTemporaryDir>

#include "fuzzsupport.h"
#include "model/datafolder.h"
#include "model/playbillreader.h"
#include "model/projectmodel.h"

using namespace ledsign;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::ensureApplication();
    static QTemporaryDir home;
    static const DataFolder folders(home.path());
    const QString cardName = QStringLiteral("card");

    ProjectModel model;
    TFIXModem card;
    card.name = cardName;
    card.width = 128;
    card.height = 64;
    model.cards().append(card);

    QBuffer buffer;
    buffer.setData(fuzz::bytesOf(data, size));
    buffer.open(QIODevice::ReadOnly);
    PlaybillReader reader(model, folders);
    (void)reader.read(cardName, buffer);
    LEDSIGN_FUZZ_CHECK(model.cards().size() == 1);
    return 0;
}
