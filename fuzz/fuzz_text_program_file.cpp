// Text-program file (".tprg") reader; what it reads must come back the same
// after a write and a second read.
#include <QBuffer>

#include "fuzzsupport.h"
#include "protocol/textprogramfile.h"

using namespace ledsign;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QByteArray bytes = fuzz::bytesOf(data, size);
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    const QDateTime loadTime(QDate(2024, 5, 1), QTime(12, 0));
    const QString everyDay = QStringLiteral("every day");
    TextProgramData first;
    QString error;
    if (!readTextProgram(device, first, loadTime, everyDay, &error)) {
        LEDSIGN_FUZZ_CHECK(!error.isEmpty());
        return 0;
    }

    QByteArray written = textProgramBytes(first);
    QBuffer again(&written);
    again.open(QIODevice::ReadOnly);
    TextProgramData second;
    LEDSIGN_FUZZ_CHECK(readTextProgram(again, second, loadTime, everyDay, &error));

    // Pages keep name, id and times (the cycle is not stored); materials
    // above character code 10 are not written.
    LEDSIGN_FUZZ_CHECK(second.pages.size() == first.pages.size());
    for (qsizetype i = 0; i < first.pages.size(); ++i) {
        const TProgram& a = first.pages[i];
        const TProgram& b = second.pages[i];
        LEDSIGN_FUZZ_CHECK(a.name == b.name && a.id == b.id && a.startTime == b.startTime
                           && a.endTime == b.endTime);
    }
    qsizetype kept = 0;
    for (const TFodder& a : first.materials) {
        if (a.typeCode > 10)
            continue;
        LEDSIGN_FUZZ_CHECK(kept < second.materials.size());
        const TFodder& b = second.materials[kept++];
        LEDSIGN_FUZZ_CHECK(a.name == b.name && a.id == b.id && a.spare28 == b.spare28
                           && a.spare1C == b.spare1C && a.content == b.content && a.kind == b.kind
                           && a.playTimes == b.playTimes && a.displayMode == b.displayMode
                           && a.displaySpeed == b.displaySpeed && a.remainTime == b.remainTime
                           && a.typeCode == b.typeCode);
    }
    LEDSIGN_FUZZ_CHECK(kept == second.materials.size());
    return 0;
}
