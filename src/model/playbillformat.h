// The layout of a playbill file (".prg"), shared by its writer and reader:
// four sections of comma-separated lines, field positions and counts, and
// the small text transformations that keep a value on its one line.
//
// [ProgramList]    name,id,panel,start,end,cycle,date,mode
// [RegionList]     page,pageId,name,id,panel,left,top,width,height
// [FodderList]     30 fields, see the Material* positions
// [TxtContentList] id=content
#pragma once

#include <QString>

namespace ledsign::playbill {

inline constexpr const char* kProgramSection = "[ProgramList]";
inline constexpr const char* kRegionSection = "[RegionList]";
inline constexpr const char* kFodderSection = "[FodderList]";
inline constexpr const char* kContentSection = "[TxtContentList]";

inline constexpr const char* kLineEnd = "\r\n";
inline constexpr char kFieldSeparator = ',';
inline constexpr char kFileSeparator = ';';
inline constexpr char kContentSeparator = '=';

// Page line.
enum PageField : int {
    kPageName = 0,
    kPageId,
    kPagePanel,
    kPageStart,
    kPageEnd,
    kPageCycle,
    kPageDate,
    kPageMode,
    kPageFieldCount,
};
inline constexpr int kPageMinFields = 5;
// Date and mode are read only from lines with more than this many fields.
inline constexpr int kPageDateModeAfter = 7;

// Region line (always exactly this many fields).
enum RegionField : int {
    kRegionPage = 0,
    kRegionPageId,
    kRegionName,
    kRegionId,
    kRegionPanel,
    kRegionLeft,
    kRegionTop,
    kRegionWidth,
    kRegionHeight,
    kRegionFieldCount,
};

// Material line.
enum MaterialField : int {
    kMatPage = 0,
    kMatRegion,
    kMatRegionId,
    kMatName,
    kMatId,
    kMatPanel,
    kMatKind,
    kMatPlayTimes,
    kMatDisplayMode,
    kMatDisplaySpeed,
    kMatRemainTime,
    kMatTypeCode,
    kMatFlag1,
    kMatFlag0,
    kMatImages,
    kMatDigitColor,
    kMatCharColor,
    kMatFontCode,
    kMatSizeCode,
    kMatTimeFormat,
    kMatDisplayFormat,
    kMatTimeDiffSign,
    kMatDiffHours,
    kMatDiffMinutes,
    kMatTextParam1,
    kMatTextParam2,
    kMatTableParam1,
    kMatTableParam2,
    kMatTextParam3,
    kMatRotateMode,
    kMatFieldCount,
};
inline constexpr int kMatMinFields = 24;
inline constexpr int kMatTextParamsAfter = 25;   // textParam1, textParam2
inline constexpr int kMatTableParamsAfter = 27;  // tableParam1, tableParam2
inline constexpr int kMatTextParam3After = 28;
inline constexpr int kMatRotateAfter = 29;

// Materials below this type code belong to the text-program window.
inline constexpr int kLowestStoredTypeCode = 10;

// Card size assumed for a card that is not in the card list.
inline constexpr int kUnknownCardWidth = 1024;
inline constexpr int kUnknownCardHeight = 512;

// A value of a comma-separated field: line breaks become spaces and ","
// becomes the full-width "，", so the value cannot break its line or its
// neighbours apart.
QString fieldText(const QString& value);
// A file name inside the image list: as fieldText, and ";" becomes "；".
QString listedFileName(const QString& name);
// The play date: every space written as "?*".
QString storedDate(const QString& date);
QString dateFromStored(const QString& stored);
// A base name written by the Windows program with each space as "?*".
QString fileNameFromStored(const QString& stored);
// Text content: every line break (CR LF, or a lone CR or LF) written as "*?".
QString storedContent(const QString& content);
QString contentFromStored(const QString& stored);

} // namespace ledsign::playbill
