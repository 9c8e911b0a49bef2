// The communication and parameter window: channel mode, server address and
// send delay, temporary card address, internal codes of the RS-485 line and
// the card's screen parameters. Every rule lives in ParamConfig; the window
// fills its controls and forwards the buttons.
#pragma once

#include "config/paramconfig.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QStatusBar;
class QTreeWidget;

namespace ledsign {

class TfrmParamCfgSet : public QDialog {
    Q_OBJECT
public:
    TfrmParamCfgSet(ParamConfig& config, AppSettings& settings, QWidget* parent = nullptr);
    void setScale(double scale) { m_scale = scale; }

    // Controls the tests look at.
    QComboBox* modeBox() const { return cmdComm; }
    QComboBox* scanBox() const { return cmdScan; }
    QStatusBar* statusBar() const { return m_status; }

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    void buildControls();
    void applyTexts();
    void fillLists();
    void changeMode(int mode);
    void clearParameterBoxes();
    void fill(const ParamFill& fill);
    ParamInputs inputs() const;
    QStringList codeBoxes() const;
    void showCodes(const QStringList& codes);

    ParamConfig& m_config;
    AppSettings& m_settings;
    double m_scale = 1.0;

    QComboBox* cmdComm = nullptr;
    QPushButton* btStartComm = nullptr;
    QPushButton* btClose = nullptr;
    QStackedWidget* pCtrlCmm = nullptr;
    // network page
    QLineEdit* edtPort = nullptr;
    QList<QLineEdit*> edtSerIP;
    QLineEdit* edtDelay = nullptr;
    QPushButton* btnRelayTimeSet = nullptr;
    QCheckBox* cbShowNetCard = nullptr;
    QPushButton* btnShowNetwork = nullptr;
    QList<QLineEdit*> edtIP;
    QList<QLineEdit*> edtC;
    QPushButton* btSet = nullptr;
    // serial page
    QComboBox* cbComm = nullptr;
    QComboBox* cbBaud = nullptr;
    // 485 page
    QComboBox* cb485 = nullptr;
    QComboBox* cb485Baud = nullptr;
    QList<QLineEdit*> edtCode;
    QPushButton* btAdd = nullptr;
    QPushButton* btEdit = nullptr;
    QPushButton* btDel = nullptr;
    QTreeWidget* lvInnerCodeList = nullptr;
    // screen parameters
    QGroupBox* gBoxParam = nullptr;
    QLineEdit* edtPLen = nullptr;
    QLineEdit* edtPHeight = nullptr;
    QComboBox* cbColor = nullptr;
    QComboBox* cmdScan = nullptr;
    QComboBox* cmdDLamp = nullptr;
    QComboBox* cmdNLamp = nullptr;
    QComboBox* cmdSContent = nullptr;
    QComboBox* cmdOE = nullptr;
    QComboBox* cmdDataBit = nullptr;
    QComboBox* cmdTrans = nullptr;
    QComboBox* cmdCF = nullptr;
    QComboBox* cmdRowOrder = nullptr;
    QComboBox* cmdEmptyDisplay = nullptr;
    QComboBox* cmb485Addr = nullptr;
    QCheckBox* cbDTU = nullptr;
    QPushButton* btRead = nullptr;
    QPushButton* btWrite = nullptr;
    QStatusBar* m_status = nullptr;
    // Labels and group boxes named as their language keys.
    QList<QWidget*> m_named;
};

} // namespace ledsign
