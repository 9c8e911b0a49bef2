#include "config/ui/usbdiskwindow.h"

#include "config/usbexport.h"
#include "language/language.h"
#include "model/cardtie.h"
#include "model/numbertext.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace ledsign {

namespace {

constexpr int kParamCategory = 10;
constexpr int kNewCardHeight = 168;
constexpr int kNewCardWidth = 300;
constexpr int kExportHeight = 360;
constexpr int kDefaultLamp = 3;

QString fixed(const char16_t* text) { return QString::fromUtf16(text); }

// The window's texts live in the parameter window's category: the same
// screen parameters, named the same way.
QString lg(const char* key) { return GetLgText(kParamCategory, QString::fromLatin1(key)); }

QStringList listOr(int sub, const QStringList& fallback)
{
    const QStringList l = GetLgList(kParamCategory, sub);
    return l.isEmpty() ? fallback : l;
}

} // namespace

TFIXModem newCardFromAnswer(const NewCardAnswer& a)
{
    TFIXModem card;
    card.name = a.name;
    card.width = a.width;
    card.height = a.height;
    card.colorType = a.colorIndex == 1 ? kColorDual : a.colorIndex == 2 ? kColorTri : kColorSingle;
    giveNewCardDefaults(card);
    return card;
}

UsbDiskWindow::UsbDiskWindow(RemovableDrives& drives, QWidget* parent)
    : QDialog(parent)
    , drives_(drives)
{
    setObjectName(QStringLiteral("TFormUDisk"));
    auto* layout = new QVBoxLayout(this);

    auto* cardBox = new QGroupBox(this);
    auto* cardForm = new QFormLayout(cardBox);
    cardLabel_ = new QLabel(cardBox);
    editCardName = new QLineEdit(cardBox);
    edtPWidth = new QLineEdit(cardBox);
    edtPHeight = new QLineEdit(cardBox);
    cmbColor = new QComboBox(cardBox);
    cardForm->addRow(cardLabel_);
    cardForm->addRow(textLabel("card_name", cardBox), editCardName);
    cardForm->addRow(textLabel("lbPixelsWidth", cardBox), edtPWidth);
    cardForm->addRow(textLabel("lbPixelsHeight", cardBox), edtPHeight);
    cardForm->addRow(textLabel("lbPixelsColor", cardBox), cmbColor);
    layout->addWidget(cardBox);

    exportPanel_ = new QWidget(this);
    auto* ex = new QVBoxLayout(exportPanel_);
    ex->setContentsMargins(0, 0, 0, 0);
    auto* driveRow = new QHBoxLayout;
    cmdUDiskList = new QComboBox(exportPanel_);
    cbParam = new QCheckBox(exportPanel_);
    driveRow->addWidget(textLabel("lbUDisk", exportPanel_));
    driveRow->addWidget(cmdUDiskList, 1);
    driveRow->addWidget(cbParam);
    ex->addLayout(driveRow);
    auto* params = new QGroupBox(exportPanel_);
    auto* grid = new QGridLayout(params);
    struct Row {
        const char* label;
        QComboBox** box;
    };
    const Row rows[] = {{"lbScanMode", &cmdScan},       {"lbDayBright", &cmdDLamp},
                        {"lbNightBright", &cmdNLamp},   {"lbOESignal", &cmdOE},
                        {"lbDisplay", &cmdSContent},    {"lbClockFrequency", &cmdCF},
                        {"lbConversion", &cmdTrans},    {"lbRowOrder", &cmdRowOrder},
                        {"lbEmptyDisplay", &cmdEmptyDisplay}, {"lb485Addr", &cmb485Addr},
                        {"lbDataBit", &cmdDataBit},     {"lbBaudRate", &cbBaud}};
    int i = 0;
    for (const Row& r : rows) {
        *r.box = new QComboBox(params);
        grid->addWidget(textLabel(r.label, params), i / 2, (i % 2) * 2);
        grid->addWidget(*r.box, i / 2, (i % 2) * 2 + 1);
        ++i;
    }
    ex->addWidget(params);
    layout->addWidget(exportPanel_);

    auto* buttons = new QHBoxLayout;
    okButton_ = new QPushButton(this);
    closeButton_ = new QPushButton(this);
    auto* close = closeButton_;
    buttons->addStretch();
    buttons->addWidget(okButton_);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    status_ = new QStatusBar(this);
    status_->setSizeGripEnabled(false);
    layout->addWidget(status_);

    connect(okButton_, &QPushButton::clicked, this, &UsbDiskWindow::accept);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(&drives_, &RemovableDrives::changed, this, &UsbDiskWindow::refreshDrives);
    applyTexts();
    fillLists();
}

QLabel* UsbDiskWindow::textLabel(const char* key, QWidget* parent)
{
    auto* label = new QLabel(lg(key), parent);
    labelKeys_.append({label, key});
    return label;
}

void UsbDiskWindow::applyTexts()
{
    for (const auto& [label, key] : std::as_const(labelKeys_))
        label->setText(lg(key));
    cbParam->setText(lg("cbParam"));
    okButton_->setText(lg("btUDiskOK"));
    closeButton_->setText(lg("btClose"));
}

void UsbDiskWindow::fillLists()
{
    cmbColor->clear();
    cmbColor->addItems(GetLgList(kParamCategory, 9));
    const QStringList polarity = GetLgList(kParamCategory, 5);
    for (QComboBox* b : {cmdSContent, cmdOE, cmdDataBit}) {
        b->clear();
        b->addItems(polarity);
    }
    cmdCF->clear();
    cmdCF->addItems(listOr(6, {QStringLiteral("12M"), QStringLiteral("8M"), QStringLiteral("6M")}));
    cmdTrans->clear();
    cmdTrans->addItems(listOr(7, {QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2")}));
    cmdRowOrder->clear();
    cmdRowOrder->addItems(listOr(8, {QStringLiteral("0"), QStringLiteral("+1"), QStringLiteral("-"),
                                     QStringLiteral("138")}));
    cmdEmptyDisplay->clear();
    cmdEmptyDisplay->addItems(listOr(10, {QStringLiteral("0"), QStringLiteral("1")}));
    const QStringList lamp = GetLgList(kParamCategory, 4);
    for (QComboBox* b : {cmdDLamp, cmdNLamp}) {
        b->clear();
        b->addItem(lamp.value(0));
        for (int n = 1; n <= 6; ++n)
            b->addItem(QString::number(n));
        b->addItem(lamp.value(1));
    }
    cmb485Addr->clear();
    for (int n = 1; n <= 99; ++n)
        cmb485Addr->addItem(QString::number(n));
    cbBaud->clear();
    cbBaud->addItems({QStringLiteral("9600"), QStringLiteral("19200"), QStringLiteral("38400"),
                      QStringLiteral("57600"), QStringLiteral("115200")});
    scanModes_ = ScanModeTable::forCurrentLanguage();
    cmdScan->clear();
    cmdScan->addItems(scanModes_.names());
}

void UsbDiskWindow::refreshDrives()
{
    const QString current = cmdUDiskList->currentData().toString();
    cmdUDiskList->clear();
    for (const RemovableDrive& d : drives_.drives())
        cmdUDiskList->addItem(d.entry(), d.root);
    const int keep = cmdUDiskList->findData(current);
    cmdUDiskList->setCurrentIndex(keep >= 0 ? keep : (drives_.any() ? 0 : -1));
    okButton_->setEnabled(mode_ == 0 || drives_.any());
}

void UsbDiskWindow::prepareNewCard(const QString& proposal, NameCheck check)
{
    mode_ = 0;
    nameCheck_ = std::move(check);
    applyTexts(); // in the language of the moment
    fillLists();
    setWindowTitle(lg("udisk_new_card"));
    cardLabel_->hide();
    exportPanel_->hide();
    editCardName->setEnabled(true);
    editCardName->setText(proposal);
    edtPWidth->setText(QStringLiteral("256"));
    edtPHeight->setText(QStringLiteral("128"));
    cmbColor->setCurrentIndex(0);
    status_->clearMessage();
    okButton_->setEnabled(true);
    adjustSize();
    resize(std::max(width(), kNewCardWidth), std::max(height(), kNewCardHeight));
}

void UsbDiskWindow::prepareExport(const TFIXModem& card, const QString& workFolder, DataBuilder data)
{
    mode_ = 1;
    applyTexts(); // in the language of the moment
    fillLists();
    internalCode_ = card.internalCode;
    workFolder_ = workFolder;
    data_ = std::move(data);
    setWindowTitle(lg("udisk_export"));
    cardLabel_->setText(lg("udisk_current_card") + card.name);
    cardLabel_->show();
    exportPanel_->show();
    editCardName->setText(card.name);
    editCardName->setEnabled(false);
    edtPWidth->setText(QString::number(card.width));
    edtPHeight->setText(QString::number(card.height));
    cmbColor->setCurrentIndex(card.colorType == kColorDual ? 1 : card.colorType == kColorTri ? 2 : 0);
    for (QComboBox* b : {cmdOE, cmdSContent, cmdCF, cmdTrans, cmdRowOrder, cmdEmptyDisplay, cmb485Addr,
                         cmdDataBit, cbBaud, cmdScan})
        b->setCurrentIndex(0);
    cmdDLamp->setCurrentIndex(kDefaultLamp);
    cmdNLamp->setCurrentIndex(kDefaultLamp);
    status_->clearMessage();
    refreshDrives();
    resize(width(), kExportHeight);
}

NewCardAnswer UsbDiskWindow::showNewCard(const QString& proposal)
{
    prepareNewCard(proposal);
    const bool ok = exec() == QDialog::Accepted;
    NewCardAnswer a = answer();
    a.ok = ok;
    return a;
}

void UsbDiskWindow::showExport(const TFIXModem& card, const QString& workFolder, DataBuilder data)
{
    prepareExport(card, workFolder, std::move(data));
    exec();
}

NewCardAnswer UsbDiskWindow::answer() const
{
    NewCardAnswer a;
    a.name = editCardName->text().trimmed();
    a.width = numberOr(edtPWidth->text(), 256);
    a.height = numberOr(edtPHeight->text(), 128);
    a.colorIndex = std::max(0, cmbColor->currentIndex());
    return a;
}

ExportParameters UsbDiskWindow::parameters() const
{
    ExportParameters p;
    p.width = edtPWidth->text();
    p.height = edtPHeight->text();
    ScreenParams& s = p.screen;
    s.colorIndex = cmbColor->currentIndex();
    s.scanIndex = cmdScan->currentIndex();
    s.dayBrightness = cmdDLamp->currentIndex();
    s.nightBrightness = cmdNLamp->currentIndex();
    s.contentIndex = cmdSContent->currentIndex();
    s.oeIndex = cmdOE->currentIndex();
    s.clockIndex = cmdCF->currentIndex();
    s.rowOrderIndex = cmdRowOrder->currentIndex();
    s.transIndex = cmdTrans->currentIndex();
    s.dataBitIndex = cmdDataBit->currentIndex();
    s.emptyDisplayIndex = std::max(0, cmdEmptyDisplay->currentIndex());
    s.address485Index = std::max(0, cmb485Addr->currentIndex());
    s.baudIndex = std::max(0, cbBaud->currentIndex());
    return p;
}

bool UsbDiskWindow::exportNow()
{
    const QString root = cmdUDiskList->currentData().toString();
    if (root.isEmpty()) {
        status_->showMessage(fixed(usbtext::kNoDrive));
        return false;
    }
    UsbExport::Builder params;
    if (cbParam->isChecked()) {
        const ExportParameters p = parameters();
        if (exportParametersComplete(p)) {
            params = [p, this] {
                QString serial;
                return exportParameterFile(p, scanModes_, serial);
            };
        } else {
            status_->showMessage(messageText(QStringLiteral("warn_params_empty")));
        }
    }
    UsbExport exporter(workFolder_, root);
    const auto result = exporter.run(data_, params, [this](const QString& s) { status_->showMessage(s); });
    return result.ok;
}

QString UsbDiskWindow::statusText() const { return status_->currentMessage(); }
bool UsbDiskWindow::okEnabled() const { return okButton_->isEnabled(); }

void UsbDiskWindow::accept()
{
    if (mode_ == 0) {
        // A name the card list cannot hold (empty, taken, with a separator)
        // would be lost or mixed up on the next start: ask again.
        const QString problem = nameCheck_ ? nameCheck_(answer().name) : QString();
        if (!problem.isEmpty()) {
            status_->showMessage(problem);
            editCardName->setFocus();
            editCardName->selectAll();
            return;
        }
        QDialog::accept();
        return;
    }
    exportNow();
}

} // namespace ledsign
