#include "workspace/toolwindows.h"

#include "config/removabledrives.h"
#include "config/ui/usbdiskwindow.h"
#include "config/usbexport.h"
#include "editing/canvasgeometry.h"
#include "language/language.h"
#include "model/materialkinds.h"
#include "preview/previewsources.h"
#include "preview/ui/previewwindow.h"
#include "protocol/downloadbuilder.h"
#include "protocol/ui/textprogramwindow.h"
#include "transport/cardlink.h"
#include "workspace/mainwindow.h"
#include "workspace/toolwindowstips.h"
#include "session/workspacesession.h"

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QFileInfo>
#include <QMenu>
#include <QScreen>

namespace ledsign {

namespace {

// Mounts that appear outside the watched media folders are found by a slow
// look at the mount table.
constexpr int kDrivePollMs = 3000;

} // namespace

ToolWindowsController::ToolWindowsController(MainWindow& window, WorkspaceSession& session)
    : QObject(&window)
    , window_(window)
    , session_(session)
    , run_([](QDialog& w) { return w.exec(); })
    , drives_(std::make_unique<RemovableDrives>())
{
    connect(drives_.get(), &RemovableDrives::changed, this, &ToolWindowsController::refreshExportDrives);
    drivePoll_.setInterval(kDrivePollMs);
    connect(&drivePoll_, &QTimer::timeout, drives_.get(), &RemovableDrives::refresh);
}

ToolWindowsController::~ToolWindowsController()
{
    // The windows are children of the main window; they go with it.
    drivePoll_.stop();
}

int ToolWindowsController::run(QDialog& window)
{
    return run_(window);
}

void ToolWindowsController::startUp()
{
    drives_->refresh();
    refreshExportDrives();
    drivePoll_.start();
    AppSettings& settings = session_.settings();
    if (settings.isShowTips)
        return;
    settings.isShowTips = showTips();
    session_.settingsFile().storeShowTips(settings.isShowTips);
}

bool ToolWindowsController::showTips()
{
    RemoteTextTipWindow tips(&window_);
    run(tips);
    return tips.dismissed();
}

void ToolWindowsController::refreshExportDrives()
{
    const bool any = drives_->any();
    window_.actions().action(ActionId::Export2UDisk)->setEnabled(any);
    if (QAction* popup = window_.actions().popupItem(PopupItem::Export))
        popup->setEnabled(any);
    // The window follows the list on its own (OK and the preselected drive).
}

// ---------------------------------------------------------------- preview

void ToolWindowsController::preview()
{
    const SelectionState& selection = window_.selection();
    const bool selected = selection.level() != NodeLevel::None;
    const QString cardName = selected ? selection.cardName() : QString();
    const ProjectModel& model = session_.model();
    const QString problem = previewOpenProblem(model, cardName, selected);
    if (!problem.isEmpty()) {
        window_.showStatus(messageText(problem));
        return;
    }
    const auto card = model.findCard(cardName);
    // The card magnified as on the canvas, narrowed until it fits the screen.
    double zoom = std::clamp(canvas::zoomFactorOfCard(card.record->zoom), canvas::kMinZoom, canvas::kMaxZoom);
    const QSize leds(card.record->width, card.record->height);
    if (const QScreen* screen = window_.screen()) {
        const QSize room = screen->availableGeometry().size();
        auto tooLarge = [&] {
            const QSize shown = leds * zoom;
            return shown.width() > room.width() || shown.height() > room.height();
        };
        while (zoom > canvas::kMinZoom && tooLarge())
            zoom = canvas::zoomStep(zoom, true);
    }
    PreviewWindow preview(model, cardName, standardPreviewConversion(), standardLiveRenderer(), zoom, &window_);
    // The card's panel on the canvas with the button row above it.
    preview.resize(previewWindowSize(leds * zoom + QSize(16, 16)));
    // Opened from the command, it plays at once.
    preview.setPlayOnShow(true);
    run(preview);
    preview.stop();
}

// ---------------------------------------------------------------- USB disk

UsbDiskWindow& ToolWindowsController::usbWindow()
{
    if (!usb_)
        usb_ = new UsbDiskWindow(*drives_, &window_);
    return *usb_;
}

std::optional<NewCardInput> ToolWindowsController::askNewCard(const QString& proposal,
                                                              const std::function<QString(const QString&)>& check)
{
    UsbDiskWindow& w = usbWindow();
    w.prepareNewCard(proposal, check);
    if (run(w) != QDialog::Accepted)
        return std::nullopt;
    const NewCardAnswer a = w.answer();
    // The boxes' texts go on as typed: the card takes 256 x 128 for
    // anything that is not a size.
    NewCardInput input;
    input.name = a.name;
    input.width = QString::number(a.width);
    input.height = QString::number(a.height);
    input.colorIndex = a.colorIndex;
    return input;
}

void ToolWindowsController::exportToUsb()
{
    MainWindowDialogs& dialogs = window_.dialogs();
    auto* group = window_.findChild<QCheckBox*>(QStringLiteral("cbAllCard"));
    const SelectionState& selection = window_.selection();
    const bool selected = selection.level() != NodeLevel::None;
    ProjectModel& model = session_.model();
    const auto card = selected ? model.findCard(selection.cardName()) : Found<TFIXModem>{};
    const bool hasContent = selected && (selection.level() != NodeLevel::Card
                                         || !model.pageNames(selection.cardName()).isEmpty());

    const UsbExportStart start =
        checkUsbExportStart(drives_->any(), group && group->isChecked(), card ? card.record : nullptr, hasContent);
    for (const QString& text : start.messages)
        dialogs.showMessage(text);
    if (start.untickGroup && group)
        group->setChecked(false);
    if (!start.messageKey.isEmpty())
        window_.showStatus(messageText(start.messageKey));
    if (!drives_->any())
        return;
    if (!card) {
        window_.showStatus(messageText(QStringLiteral("warn_send_program_card")));
        return;
    }
    if (!start.proceed)
        return;

    // The send path writes files from now on, until the next ordinary send.
    session_.link().scheduler().state().exportMode = true;
    const QString cardName = card.record->name;
    const bool rs485 = rs485Mode();
    UsbDiskWindow& w = usbWindow();
    w.prepareExport(*card.record, session_.folders().path(), [this, cardName, rs485] {
        // The reason of a card that cannot be built reaches the status bar
        // through the scheduler.
        return session_.link().scheduler().exportData(cardName, rs485);
    });
    run(w);
}

// ---------------------------------------------------------------- text programs

bool ToolWindowsController::rs485Mode() const
{
    return session_.link().scheduler().state().rs485Mode;
}

TextProgramSender* ToolWindowsController::textSender()
{
    return &session_.link().textPrograms();
}

TextProgramWindow& ToolWindowsController::textProgramWindow()
{
    // One window for the whole run: its pages and materials stay in the
    // program's lists between openings.
    if (!textProgram_) {
        textProgram_ = new TextProgramWindow(session_.model(), textSender(), &window_);
        textProgram_->setFolder(session_.folders().programFolder());
        // The send's progress texts also show in the window, which covers
        // the main window's status bar while it is open.
        connect(&session_.link().scheduler(), &SendScheduler::statusMessage, textProgram_.data(),
                &TextProgramWindow::showStatusText);
    }
    return *textProgram_;
}

QString ToolWindowsController::textProgramFile(const QString& file, const QString& cardName)
{
    TextProgramWindow& w = textProgramWindow();
    w.prepare(file, cardName, rs485Mode());
    run(w);
    return w.lastFile();
}

void ToolWindowsController::sendTextProgram()
{
    const SelectionState& selection = window_.selection();
    QString cardName;
    if (selection.level() != NodeLevel::None) {
        cardName = selection.cardName();
        window_.selectCard(cardName);
    }
    textProgramFile(QString(), cardName);
}

bool ToolWindowsController::openRemoteText(TFodder& material)
{
    const QString first = material.fileList.isEmpty() ? QString() : material.fileList.first().path;
    // The material's card becomes the selected card: the window sends there.
    session_.link().scheduler().state().selectedCardName = material.cardName;
    const QString file = textProgramFile(first, session_.link().scheduler().state().selectedCardName);
    if (file.isEmpty() || (material.fileList.size() == 1 && first == file))
        return false;
    TFileInfo only;
    only.number = 1;
    only.path = file;
    material.fileList = {only};
    return true;
}

} // namespace ledsign
