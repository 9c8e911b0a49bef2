// The card report: what a card says about itself when it comes on line
// (0x61), in a heartbeat (0x91), a material notice (0x72) or on the serial
// line (0x71). The reader gives the values a registration stores; the builder
// writes a report that the reader accepts, for a card simulated by the tools.
#pragma once

#include "protocol/conversions.h"

#include <QByteArray>
#include <QString>

#include <array>

namespace ledsign {

namespace report {
// Offsets from the first byte of the frame.
inline constexpr int kCodeOffset = 17;     // eight bytes of internal code
inline constexpr int kTextOffset = 26;     // "#" fields up to byte n-4
inline constexpr int kTextEndFromBack = 4; // last text byte is n-4
inline constexpr int kFontDigitOffset = 50;
inline constexpr int kFeatureOffsetA = 52; // flags 0..4 in the low five bits
inline constexpr int kFeatureOffsetB = 53; // flags 5..9
inline constexpr int kSpeedDigitOffset = 56;
inline constexpr int kTypeMarkOffset = 64; // 0 when a type name follows
inline constexpr int kTypeNameOffset = 65;
inline constexpr int kTypeNameSize = 5;

inline constexpr int kMinFieldsForValues = 7;
inline constexpr int kMinFieldsForTypeName = 11;
inline constexpr int kFeatureFlagCount = 10;
inline constexpr int kBuiltSize = 74;      // size of a report made by the builder

inline constexpr int kDefaultWidth = 64;
inline constexpr int kDefaultHeight = 32;
inline constexpr int kDefaultColorDepth = 1;
inline constexpr int kDefaultVersion = -1;
inline constexpr int kDefaultFontDigit = 6;
inline constexpr int kDefaultSpeedUnit = 1;
} // namespace report

struct CardReport {
    quint8 command = 0;
    convert::InternalCode internalCodeBytes {};
    QString internalCode;          // decimal bytes joined by "_"
    int fieldCount = 0;            // fields of the "#" text
    int width = report::kDefaultWidth;
    int height = report::kDefaultHeight;
    int colorDepth = report::kDefaultColorDepth; // 1 single, 2 dual, 3 tri-colour
    int colorType = '8';           // '8', '9' or ':'
    int version = report::kDefaultVersion;
    int fontCount = report::kDefaultFontDigit + 1;
    int speedUnit = report::kDefaultSpeedUnit;
    std::array<quint8, report::kFeatureFlagCount> featureFlags {1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    bool featureGroupRead[2] = {false, false}; // flags 0..4, flags 5..9
    QString cardType = QStringLiteral("unknown");
    bool trailerOk = false;        // last two bytes FF FF

    // Width, height, colour and version came from the card, not defaults.
    bool hasAllFields() const { return fieldCount >= report::kMinFieldsForValues; }

    // A report a new TCP connection may register with: command 0x61, 0x72 or
    // 0x91, the FF FF trailer and at least seven fields.
    bool acceptableOnNewConnection() const;

    // Overwrites the groups of five flags the report carried; a report too
    // short to carry a group leaves those flags as they were.
    template <class Flags>
    void applyFeatureFlags(Flags& flags) const
    {
        for (int g = 0; g < 2; ++g) {
            if (!featureGroupRead[g])
                continue;
            for (int k = 5 * g; k < 5 * g + 5; ++k)
                flags[k] = featureFlags[k];
        }
    }
};

// Reads a report frame (its command is not checked: the caller decides which
// commands it treats as reports). False, with a reason in *error, when the frame
// is too short to hold the internal code or does not start with the marker.
bool readCardReport(const QByteArray& frame, CardReport& out, QString* error = nullptr);

// What a simulated card reports.
struct CardReportContent {
    quint8 command = 0x61;
    convert::InternalCode internalCode {};
    int width = 64;
    int height = 32;
    int colorDepth = 1;
    int version = 60;
    int fontCount = 6;
    int speedUnit = 1;
    std::array<quint8, report::kFeatureFlagCount> featureFlags {1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    QString cardType;              // up to five bytes are sent
};

// A 74-byte report frame with every field where the reader looks for it.
QByteArray buildCardReport(const CardReportContent& content, quint32 serial = 0);

} // namespace ledsign
