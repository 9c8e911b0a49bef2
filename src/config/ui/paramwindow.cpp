#include "config/ui/paramwindow.h"

#include "language/language.h"
#include "model/settings.h"
#include "transport/adapters.h"
#include "transport/cardsearch.h"
#include "transport/ui/adapterchoicewindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace ledsign {

namespace {

constexpr int kParamCategory = 10;
constexpr int kWindowWidth = 640;

template <class W>
W* named(QList<QWidget*>& list, const char* key, QWidget* parent)
{
    auto* w = new W(parent);
    w->setObjectName(QString::fromLatin1(key));
    list.append(w);
    return w;
}

QList<QLineEdit*> boxRow(int count, int width, QHBoxLayout* row, QWidget* parent, const QString& separator)
{
    QList<QLineEdit*> out;
    for (int i = 0; i < count; ++i) {
        auto* e = new QLineEdit(parent);
        e->setFixedWidth(width);
        e->setMaxLength(3);
        row->addWidget(e);
        if (i + 1 < count && !separator.isEmpty())
            row->addWidget(new QLabel(separator, parent));
        out.append(e);
    }
    row->addStretch();
    return out;
}

void setItems(QComboBox* box, const QStringList& items)
{
    box->clear();
    box->addItems(items);
    box->setCurrentIndex(-1);
}

QStringList joinedTexts(const QList<QLineEdit*>& boxes)
{
    QStringList out;
    for (const QLineEdit* e : boxes)
        out << e->text();
    return out;
}

} // namespace

TfrmParamCfgSet::TfrmParamCfgSet(ParamConfig& config, AppSettings& settings, QWidget* parent)
    : QDialog(parent)
    , m_config(config)
    , m_settings(settings)
{
    setObjectName(QStringLiteral("frmParamCfgSet"));
    setModal(true);
    buildControls();

    connect(&config, &ParamConfig::statusText, m_status, [this](const QString& t) { m_status->showMessage(t); });
    connect(&config, &ParamConfig::messageBox, this,
            [this](const QString& t) { QMessageBox::information(this, windowTitle(), t); });
    connect(&config, &ParamConfig::filled, this, &TfrmParamCfgSet::fill);
    connect(&config, &ParamConfig::closeWanted, this, &QDialog::close);
    connect(&config, &ParamConfig::innerCodesChanged, this, &TfrmParamCfgSet::showCodes);
}

void TfrmParamCfgSet::buildControls()
{
    auto* top = new QHBoxLayout;
    top->addWidget(named<QLabel>(m_named, "lbComm", this));
    cmdComm = new QComboBox(this);
    cmdComm->setMinimumWidth(140);
    top->addWidget(cmdComm);
    btStartComm = named<QPushButton>(m_named, "btStartComm", this);
    btClose = named<QPushButton>(m_named, "btClose", this);
    top->addWidget(btStartComm);
    top->addStretch();
    top->addWidget(btClose);
    auto* gbComm = named<QGroupBox>(m_named, "gbComm", this);
    gbComm->setLayout(top);

    pCtrlCmm = new QStackedWidget(this);

    // --- network page
    auto* net = new QWidget(pCtrlCmm);
    auto* gbServer = named<QGroupBox>(m_named, "gbServerIPInfo", net);
    auto* serverGrid = new QGridLayout(gbServer);
    serverGrid->addWidget(named<QLabel>(m_named, "lbServerPort", gbServer), 0, 0);
    edtPort = new QLineEdit(gbServer);
    edtPort->setFixedWidth(80);
    serverGrid->addWidget(edtPort, 0, 1, Qt::AlignLeft);
    serverGrid->addWidget(named<QLabel>(m_named, "lbServerIP", gbServer), 1, 0);
    auto* serverIpRow = new QHBoxLayout;
    edtSerIP = boxRow(4, 44, serverIpRow, gbServer, QStringLiteral("."));
    for (QLineEdit* e : edtSerIP)
        e->setReadOnly(true);
    serverGrid->addLayout(serverIpRow, 1, 1);
    btnShowNetwork = named<QPushButton>(m_named, "btnShowNetwork", gbServer);
    serverGrid->addWidget(btnShowNetwork, 1, 2);
    serverGrid->addWidget(named<QLabel>(m_named, "lbNetDelay", gbServer), 2, 0);
    auto* delayRow = new QHBoxLayout;
    edtDelay = new QLineEdit(gbServer);
    edtDelay->setFixedWidth(80);
    delayRow->addWidget(edtDelay);
    delayRow->addWidget(new QLabel(QStringLiteral("0 -- 15000(ms)"), gbServer));
    delayRow->addStretch();
    serverGrid->addLayout(delayRow, 2, 1);
    btnRelayTimeSet = named<QPushButton>(m_named, "btnRelayTimeSet", gbServer);
    serverGrid->addWidget(btnRelayTimeSet, 2, 2);
    cbShowNetCard = named<QCheckBox>(m_named, "cbShowNetCard", gbServer);
    serverGrid->addWidget(cbShowNetCard, 3, 0, 1, 3);

    auto* gbTemp = named<QGroupBox>(m_named, "gbTempIPInfo", net);
    auto* tempGrid = new QGridLayout(gbTemp);
    tempGrid->addWidget(named<QLabel>(m_named, "lbCardIP", gbTemp), 0, 0);
    auto* ipRow = new QHBoxLayout;
    edtIP = boxRow(4, 44, ipRow, gbTemp, QStringLiteral("."));
    tempGrid->addLayout(ipRow, 0, 1);
    tempGrid->addWidget(named<QLabel>(m_named, "lbSubnetMask", gbTemp), 1, 0);
    auto* maskRow = new QHBoxLayout;
    edtC = boxRow(4, 44, maskRow, gbTemp, QStringLiteral("."));
    tempGrid->addLayout(maskRow, 1, 1);
    btSet = named<QPushButton>(m_named, "btSet", gbTemp);
    tempGrid->addWidget(btSet, 1, 2);
    auto* netLayout = new QVBoxLayout(net);
    netLayout->setContentsMargins(0, 0, 0, 0);
    netLayout->addWidget(gbServer);
    netLayout->addWidget(gbTemp);
    pCtrlCmm->addWidget(net);

    // --- serial page
    auto* serial = new QWidget(pCtrlCmm);
    auto* gbGeneral = named<QGroupBox>(m_named, "gbGeneral", serial);
    auto* serialGrid = new QGridLayout(gbGeneral);
    serialGrid->addWidget(named<QLabel>(m_named, "lbSerial", gbGeneral), 0, 0);
    cbComm = new QComboBox(gbGeneral);
    cbComm->setEditable(true);
    serialGrid->addWidget(cbComm, 0, 1);
    serialGrid->addWidget(named<QLabel>(m_named, "lbBaudRate", gbGeneral), 0, 2);
    cbBaud = new QComboBox(gbGeneral);
    serialGrid->addWidget(cbBaud, 0, 3);
    auto* serialLayout = new QVBoxLayout(serial);
    serialLayout->setContentsMargins(0, 0, 0, 0);
    serialLayout->addWidget(gbGeneral);
    serialLayout->addStretch();
    pCtrlCmm->addWidget(serial);

    // --- 485 page
    auto* rs485 = new QWidget(pCtrlCmm);
    auto* gb485 = named<QGroupBox>(m_named, "gb485General", rs485);
    auto* grid485 = new QGridLayout(gb485);
    grid485->addWidget(named<QLabel>(m_named, "lb485Serial", gb485), 0, 0);
    cb485 = new QComboBox(gb485);
    cb485->setEditable(true);
    grid485->addWidget(cb485, 0, 1);
    grid485->addWidget(named<QLabel>(m_named, "lb485BaudRate", gb485), 0, 2);
    cb485Baud = new QComboBox(gb485);
    grid485->addWidget(cb485Baud, 0, 3);
    auto* gbCodes = named<QGroupBox>(m_named, "gbInterCodeList", rs485);
    auto* codesLayout = new QVBoxLayout(gbCodes);
    auto* codeRow = new QHBoxLayout;
    edtCode = boxRow(8, 40, codeRow, gbCodes, QStringLiteral("_"));
    btAdd = named<QPushButton>(m_named, "btAdd", gbCodes);
    btEdit = named<QPushButton>(m_named, "btEdit", gbCodes);
    btDel = named<QPushButton>(m_named, "btDel", gbCodes);
    codeRow->addWidget(btAdd);
    codeRow->addWidget(btEdit);
    codeRow->addWidget(btDel);
    codesLayout->addLayout(codeRow);
    lvInnerCodeList = new QTreeWidget(gbCodes);
    lvInnerCodeList->setRootIsDecorated(false);
    lvInnerCodeList->setColumnCount(2);
    codesLayout->addWidget(lvInnerCodeList);
    auto* layout485 = new QVBoxLayout(rs485);
    layout485->setContentsMargins(0, 0, 0, 0);
    layout485->addWidget(gb485);
    layout485->addWidget(gbCodes);
    pCtrlCmm->addWidget(rs485);

    // --- screen parameters
    gBoxParam = named<QGroupBox>(m_named, "gBoxParam", this);
    auto* paramGrid = new QGridLayout(gBoxParam);
    int row = 0;
    const auto addPair = [&](const char* key, QWidget* control, int column) {
        paramGrid->addWidget(named<QLabel>(m_named, key, gBoxParam), row, column * 2);
        paramGrid->addWidget(control, row, column * 2 + 1);
    };
    edtPLen = new QLineEdit(gBoxParam);
    edtPHeight = new QLineEdit(gBoxParam);
    cbColor = new QComboBox(gBoxParam);
    // Named so that a driver (or a test) can find the size boxes.
    edtPLen->setObjectName(QStringLiteral("edtPLen"));
    edtPHeight->setObjectName(QStringLiteral("edtPHeight"));
    cbColor->setObjectName(QStringLiteral("cbColor"));
    addPair("lbPixelsWidth", edtPLen, 0);
    addPair("lbPixelsHeight", edtPHeight, 1);
    addPair("lbPixelsColor", cbColor, 2);
    ++row;
    cmdScan = new QComboBox(gBoxParam);
    cmdDLamp = new QComboBox(gBoxParam);
    cmdNLamp = new QComboBox(gBoxParam);
    addPair("lbScanMode", cmdScan, 0);
    addPair("lbDayBright", cmdDLamp, 1);
    addPair("lbNightBright", cmdNLamp, 2);
    ++row;
    cmdSContent = new QComboBox(gBoxParam);
    cmdOE = new QComboBox(gBoxParam);
    cmdDataBit = new QComboBox(gBoxParam);
    addPair("lbDisplay", cmdSContent, 0);
    addPair("lbOESignal", cmdOE, 1);
    addPair("lbDataBit", cmdDataBit, 2);
    ++row;
    cmdTrans = new QComboBox(gBoxParam);
    cmdCF = new QComboBox(gBoxParam);
    cmdRowOrder = new QComboBox(gBoxParam);
    addPair("lbConversion", cmdTrans, 0);
    addPair("lbClockFrequency", cmdCF, 1);
    addPair("lbRowOrder", cmdRowOrder, 2);
    ++row;
    cmdEmptyDisplay = new QComboBox(gBoxParam);
    cmb485Addr = new QComboBox(gBoxParam);
    addPair("lbEmptyDisplay", cmdEmptyDisplay, 0);
    addPair("lb485Addr", cmb485Addr, 1);
    ++row;
    cbDTU = new QCheckBox(QStringLiteral("DTU"), gBoxParam);
    btRead = named<QPushButton>(m_named, "btRead", gBoxParam);
    btWrite = named<QPushButton>(m_named, "btWrite", gBoxParam);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cbDTU);
    buttons->addStretch();
    buttons->addWidget(btRead);
    buttons->addWidget(btWrite);
    paramGrid->addLayout(buttons, row, 0, 1, 6);

    // Long list texts ("No Conversion (Default)") stay readable.
    for (QComboBox* box : {cbColor, cmdScan, cmdDLamp, cmdNLamp, cmdSContent, cmdOE, cmdDataBit, cmdTrans, cmdCF,
                           cmdRowOrder, cmdEmptyDisplay, cmb485Addr}) {
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->setMinimumContentsLength(16);
    }

    m_status = new QStatusBar(this);
    m_status->setSizeGripEnabled(false);

    auto* main = new QVBoxLayout(this);
    main->addWidget(gbComm);
    main->addWidget(pCtrlCmm);
    main->addWidget(gBoxParam);
    main->addStretch();
    main->addWidget(m_status);

    // --- forwarding
    connect(cmdComm, &QComboBox::activated, this, &TfrmParamCfgSet::changeMode);
    connect(btClose, &QPushButton::clicked, this, &QDialog::close);
    connect(btStartComm, &QPushButton::clicked, this, [this] {
        const int mode = cmdComm->currentIndex();
        const bool is485 = mode == kParam485;
        m_config.confirmInterface(mode, edtPort->text(), is485 ? cb485->currentText() : cbComm->currentText(),
                                  is485 ? cb485Baud->currentText() : cbBaud->currentText());
    });
    connect(btRead, &QPushButton::clicked, this,
            [this] { m_config.read(cmdComm->currentIndex(), cbDTU->isChecked()); });
    connect(btWrite, &QPushButton::clicked, this, [this] { m_config.write(inputs()); });
    connect(btSet, &QPushButton::clicked, this,
            [this] { m_config.setTemporaryAddress(joinedTexts(edtIP), joinedTexts(edtC), edtPort->text()); });
    connect(btnRelayTimeSet, &QPushButton::clicked, this, [this] { m_config.setSendDelay(edtDelay->text()); });
    connect(btnShowNetwork, &QPushButton::clicked, this, [this] {
        const QList<TAdapterInfo> adapters = ListAdapters();
        if (adapters.size() > 1) {
            const auto choice = TfrmMulNetCardChoice::choose(adapters, m_settings.serverIP, this);
            m_config.adapterChosen(choice ? choice->ipAddress : QString(), choice && choice->notShowAgain);
            cbShowNetCard->setChecked(m_settings.isShowMulNetCard);
        } else {
            m_config.adapterChosen(QString(), false);
        }
        const QStringList parts = m_settings.serverIP.split(u'.');
        for (int i = 0; i < 4; ++i)
            edtSerIP[i]->setText(i < parts.size() ? parts[i] : QString());
    });
    for (QLineEdit* e : edtIP) {
        connect(e, &QLineEdit::textEdited, this, [this, e](const QString& text) {
            bool warn = false;
            e->setText(ipBoxText(text, &warn));
            if (warn)
                m_status->showMessage(messageText(QStringLiteral("warn_IP_effective_num")));
        });
    }
    for (QLineEdit* e : edtC + edtCode + QList<QLineEdit*>{edtPort})
        connect(e, &QLineEdit::textEdited, this, [e](const QString& text) { e->setText(digitsOnly(text)); });
    connect(edtDelay, &QLineEdit::textEdited, this,
            [this](const QString& text) { edtDelay->setText(delayBoxText(text)); });
    connect(btAdd, &QPushButton::clicked, this, [this] {
        if (m_config.addCode(codeBoxes()))
            for (QLineEdit* e : edtCode)
                e->clear();
    });
    connect(btEdit, &QPushButton::clicked, this, [this] {
        const QModelIndex index = lvInnerCodeList->currentIndex();
        if (index.isValid())
            m_config.editCode(index.row(), codeBoxes());
    });
    connect(btDel, &QPushButton::clicked, this, [this] {
        const QModelIndex index = lvInnerCodeList->currentIndex();
        if (index.isValid() && m_config.deleteCode(index.row()))
            for (QLineEdit* e : edtCode)
                e->clear();
    });
    connect(lvInnerCodeList, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        const QStringList parts = internalCodeBoxes(item->text(1));
        for (int i = 0; i < 8; ++i)
            edtCode[i]->setText(parts.value(i));
    });
}

void TfrmParamCfgSet::applyTexts()
{
    setWindowTitle(GetLgText(kParamCategory, QStringLiteral("comm_param_set")));
    for (QWidget* w : m_named) {
        const QString text = GetLgText(kParamCategory, w->objectName());
        if (auto* label = qobject_cast<QLabel*>(w))
            label->setText(text);
        else if (auto* group = qobject_cast<QGroupBox*>(w))
            group->setTitle(text);
        else if (auto* button = qobject_cast<QAbstractButton*>(w))
            button->setText(text);
    }
    cbShowNetCard->setText(GetOptionText(kParamCategory, 11, 0));
    btnShowNetwork->setText(GetOptionText(kParamCategory, 11, 1));
}

void TfrmParamCfgSet::fillLists()
{
    setItems(cmdComm, GetLgList(kParamCategory, 1));
    lvInnerCodeList->setHeaderLabels(GetLgList(kParamCategory, 2));
    const QStringList polarity = GetLgList(kParamCategory, 5);
    setItems(cmdSContent, polarity);
    setItems(cmdOE, polarity);
    setItems(cmdDataBit, polarity);
    setItems(cmdCF, GetLgList(kParamCategory, 6));
    setItems(cmdTrans, GetLgList(kParamCategory, 7));
    setItems(cmdRowOrder, GetLgList(kParamCategory, 8));
    setItems(cmdEmptyDisplay, GetLgList(kParamCategory, 10));
    setItems(cbColor, GetLgList(kParamCategory, 9));
    setItems(cmdScan, m_config.scanModes().names());
    QStringList lamps{GetOptionText(kParamCategory, 4, 0)};
    for (int i = 1; i <= 6; ++i)
        lamps << QString::number(i);
    lamps << GetOptionText(kParamCategory, 4, 1);
    setItems(cmdDLamp, lamps);
    setItems(cmdNLamp, lamps);
    QStringList addresses;
    for (int i = 1; i <= 99; ++i)
        addresses << QString::number(i);
    setItems(cmb485Addr, addresses);
    QStringList ports = systemSerialPorts();
    if (ports.isEmpty())
        for (int i = 1; i <= 8; ++i)
            ports << QStringLiteral("COM%1").arg(i);
    setItems(cbComm, ports);
    setItems(cb485, ports);
    QStringList rates;
    for (int rate : kBlockBaudRates)
        rates << QString::number(rate);
    setItems(cbBaud, rates);
    setItems(cb485Baud, rates);
    showCodes(m_config.innerCodes());
}

void TfrmParamCfgSet::showCodes(const QStringList& codes)
{
    lvInnerCodeList->clear();
    for (int i = 0; i < codes.size(); ++i)
        lvInnerCodeList->addTopLevelItem(new QTreeWidgetItem({QString::number(i + 1), codes[i]}));
}

void TfrmParamCfgSet::changeMode(int mode)
{
    if (mode < 0)
        mode = kParamNetwork;
    pCtrlCmm->setCurrentIndex(mode);
    // The stack is as tall as the page it shows, not as its tallest page,
    // so that the serial page does not leave an empty band.
    for (int i = 0; i < pCtrlCmm->count(); ++i)
        pCtrlCmm->widget(i)->setSizePolicy(QSizePolicy::Preferred,
                                           i == mode ? QSizePolicy::Preferred : QSizePolicy::Ignored);
    pCtrlCmm->updateGeometry();
    if (layout())
        layout()->activate();
    if (mode == kParamNetwork) {
        edtPort->setText(QString::number(m_settings.serverPort));
        const QStringList parts = m_settings.serverIP.split(u'.');
        for (int i = 0; i < 4; ++i)
            edtSerIP[i]->setText(i < parts.size() ? parts[i] : QString());
    }
    resize(int(kWindowWidth * m_scale), int(m_config.pageHeight(mode) * m_scale));
}

void TfrmParamCfgSet::clearParameterBoxes()
{
    for (QLineEdit* e : edtIP + edtC)
        e->clear();
    edtPLen->clear();
    edtPHeight->clear();
    for (QComboBox* box : {cbColor, cmdScan, cmdDLamp, cmdNLamp, cmdSContent, cmdOE, cmdDataBit, cmdTrans, cmdCF,
                           cmdRowOrder, cmdEmptyDisplay, cmb485Addr})
        box->setCurrentIndex(-1);
}

void TfrmParamCfgSet::showEvent(QShowEvent* event)
{
    applyTexts();
    fillLists();
    cbShowNetCard->setChecked(m_settings.isShowMulNetCard);
    clearParameterBoxes();
    gBoxParam->setEnabled(!m_config.noCard() && m_config.cardIndex() >= 0);
    btSet->setEnabled(!m_config.noCard());
    edtDelay->setText(QString::number(m_settings.netDelayTime));
    m_status->clearMessage();
    const ParamModeChoice choice = m_config.shown();
    cmdComm->setCurrentIndex(choice.mode);
    if (choice.mode == kParam485) {
        cb485->setCurrentText(choice.serialPort);
        cb485Baud->setCurrentIndex(choice.baudIndex);
    } else if (choice.mode == kParamSerial) {
        cbComm->setCurrentText(choice.serialPort);
        cbBaud->setCurrentIndex(choice.baudIndex);
    }
    changeMode(choice.mode);
    if (choice.mode == kParamNetwork)
        edtPort->setText(choice.serverPort);
    QDialog::showEvent(event);
}

void TfrmParamCfgSet::done(int result)
{
    // Escape, the title bar and the close button all end here: the closing
    // steps run once, however the window goes.
    if (isVisible()) {
        m_settings.isShowMulNetCard = cbShowNetCard->isChecked();
        m_config.closed();
    }
    QDialog::done(result);
}

void TfrmParamCfgSet::fill(const ParamFill& f)
{
    const ScreenParams& p = f.params;
    edtPLen->setText(QString::number(p.width));
    edtPHeight->setText(QString::number(p.height));
    cbColor->setCurrentIndex(p.colorIndex);
    cmdScan->setCurrentIndex(p.scanIndex);
    cmdDLamp->setCurrentIndex(p.dayBrightness);
    cmdNLamp->setCurrentIndex(p.nightBrightness);
    cmdSContent->setCurrentIndex(p.contentIndex);
    cmdOE->setCurrentIndex(p.oeIndex);
    cmdDataBit->setCurrentIndex(p.dataBitIndex);
    cmdTrans->setCurrentIndex(p.transIndex);
    cmdCF->setCurrentIndex(p.clockIndex);
    cmdRowOrder->setCurrentIndex(p.rowOrderIndex);
    cmdEmptyDisplay->setCurrentIndex(p.emptyDisplayIndex);
    cmb485Addr->setCurrentIndex(p.address485Index);
    cbBaud->setCurrentIndex(p.baudIndex);
    cbComm->setCurrentText(f.serialPort);
    if (f.fromUdp) {
        edtPort->setText(f.serverPort);
        for (int i = 0; i < 4; ++i) {
            edtIP[i]->setText(f.ip.value(i));
            edtC[i]->setText(f.mask.value(i));
        }
    }
}

ParamInputs TfrmParamCfgSet::inputs() const
{
    ParamInputs in;
    in.widthText = edtPLen->text();
    in.heightText = edtPHeight->text();
    ScreenParams& p = in.params;
    p.colorIndex = cbColor->currentIndex();
    p.scanIndex = cmdScan->currentIndex();
    p.dayBrightness = cmdDLamp->currentIndex();
    p.nightBrightness = cmdNLamp->currentIndex();
    p.contentIndex = cmdSContent->currentIndex();
    p.oeIndex = cmdOE->currentIndex();
    p.dataBitIndex = cmdDataBit->currentIndex();
    p.transIndex = cmdTrans->currentIndex();
    p.clockIndex = cmdCF->currentIndex();
    p.rowOrderIndex = cmdRowOrder->currentIndex();
    p.emptyDisplayIndex = cmdEmptyDisplay->currentIndex();
    p.address485Index = cmb485Addr->currentIndex();
    in.mode = cmdComm->currentIndex();
    in.dtu = cbDTU->isChecked();
    in.serialBaudIndex = cbBaud->currentIndex();
    in.baud485Index = cb485Baud->currentIndex();
    in.serialPort = cbComm->currentText();
    in.port485 = cb485->currentText();
    return in;
}

QStringList TfrmParamCfgSet::codeBoxes() const
{
    return joinedTexts(edtCode);
}

} // namespace ledsign
