// The USB-disk export: builds "Vk_Data.prg" (and, when asked, "Vk_Param.prg")
// in the data folder and copies them to the root of a removable drive, in up
// to three attempts. A copy goes to a temporary name on the drive and is
// renamed only when complete, so that a drive pulled out mid-copy never
// keeps half a file under the real name.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "model/tfixmodem.h"

#include <functional>

namespace ledsign {

inline constexpr const char* kUsbDataFileName = "Vk_Data.prg";
inline constexpr const char* kUsbParamFileName = "Vk_Param.prg";
inline constexpr int kUsbExportAttempts = 3;
inline constexpr int kUsbCopyBlock = 2048;

// Fixed texts of the USB-disk window.
namespace usbtext {
inline constexpr const char16_t* kStart = u"开始导出到U盘...";
inline constexpr const char16_t* kParamDone = u"参数文件已导出到U盘";
inline constexpr const char16_t* kDataDone = u"节目单文件已导出到U盘";
inline constexpr const char16_t* kFailed = u"导出到U盘失败，请检查U盘后再试！";
inline constexpr const char16_t* kNoDrive = u"未检测到U盘，请插入U盘再试！";
inline constexpr const char16_t* kNoGroup = u"U盘导出请去掉群发勾选！";
} // namespace usbtext

// What the export action does before the window opens.
struct UsbExportStart {
    bool proceed = false;      // open the window in export mode
    bool untickGroup = false;  // the group-send box is unticked (after kNoGroup)
    QStringList messages;      // message boxes, in order (fixed texts)
    QString messageKey;        // a language key (category 3) that stops the export
};

// The checks of the export action: a drive must exist; a ticked group-send
// box is unticked with a message and the selected card alone is exported; a
// network card without its connection is not exported; the internal code
// must be set; the card must have content below it.
UsbExportStart checkUsbExportStart(bool anyDrive, bool groupSendTicked, const TFIXModem* card, bool hasContent);

// Copies a file in blocks of 2048 bytes to a temporary name beside the
// target and renames it over the target when every byte is written.
bool copyFileSafely(const QString& from, const QString& to, QString* error = nullptr);

class UsbExport {
public:
    // Bytes of a file to export; empty means the file cannot be built.
    using Builder = std::function<QByteArray()>;
    using Status = std::function<void(const QString&)>;
    using Copy = std::function<bool(const QString& from, const QString& to, QString* error)>;

    struct Result {
        bool ok = false;
        int attempts = 0;
        QString error;
    };

    UsbExport(QString workFolder, QString driveRoot);

    // Replaces the file copy (tests simulate a drive that goes away).
    void setCopy(Copy copy) { copy_ = std::move(copy); }

    // Runs the export. `params` is empty when the parameters are not wanted;
    // `paramsBuilt` false means the fields were incomplete: the data file is
    // still exported.
    Result run(const Builder& data, const Builder& params, const Status& status = {});

    QString dataTarget() const;
    QString paramTarget() const;

private:
    bool attempt(const Builder& data, const Builder& params, const Status& status, QString& error);

    QString workFolder_;
    QString driveRoot_;
    Copy copy_;
};

} // namespace ledsign
