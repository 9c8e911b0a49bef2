// A playbill made by the program's own download builder and taken in by the
// card's receive side, with the card's clock standing where the test puts
// it. Rendered kinds carry display data the test chooses, so that what the
// card shows can be worked out by hand.
#pragma once

#include "cardclock.h"
#include "cardplayer.h"
#include "downloadreceiver.h"

#include "model/materialkinds.h"
#include "model/projectmodel.h"
#include "protocol/downloadbuilder.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QImage>

namespace ledsign::test {

struct PlayRig {
    explicit PlayRig(int width = 64, int height = 16, int colorType = kColorSingle);

    ProjectModel model;
    int width;
    int height;
    int planes;
    QDateTime now{QDate(2026, 12, 9), QTime(10, 0, 0)}; // a Wednesday
    card::CardClock clock{[this] { return now; }};
    QHash<QString, QByteArray> displayData; // by material id
    QHash<QString, int> pictureCounts;

    TProgram& page(const QString& start = QStringLiteral("00:00"), const QString& end = QStringLiteral("24:00"),
                   int playMode = kPlayEveryDay, const QString& cycle = QString(), const QString& date = QString());
    TRegion& region(const TProgram& page, int x, int y, int w, int h);
    TFodder& material(const TRegion& region, int kind);
    // An image-group material of the given pictures (colours as the card has).
    TFodder& pictures(const TRegion& region, const QList<QImage>& images, int displayMode, int speed, int remain,
                      int playTimes = 1);

    // Builds the download with the program's builder; the frames it gives.
    DownloadBuild build();
    // The card's memory after taking every frame of the download; fails the
    // test when the card refuses one.
    card::DownloadReceiver receive();
    // A player holding what the card received.
    card::CardPlayer play(card::LiveInputs inputs = {});

    card::DownloadReceiver received{1};

private:
    int next = 100000000;
    QString id() { return QString::number(++next); }
};

// The display data of a picture as the card's planes hold it: 8 pixels a
// byte, first pixel in bit 7, a 0 bit lights the LED, the plane bytes of
// every group of 8 pixels one after another. Written here from that rule.
QByteArray planesOf(const QImage& image, int planes);
// A black picture with some pixels lit.
QImage lit(int w, int h, const std::function<bool(int x, int y)>& on, QRgb colour = qRgb(255, 0, 0));
// The pixels of `image` inside `rect` that are not black.
int litCount(const QImage& image, const QRect& rect);

} // namespace ledsign::test
