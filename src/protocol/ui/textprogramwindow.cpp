#include "content/fonttable.h"
#include "protocol/ui/textprogramwindow.h"

#include "content/colortable.h"
#include "content/qtrichtextdocument.h"
#include "content/textprogrammarkup.h"
#include "language/language.h"
#include "protocol/textprogramfile.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QKeyEvent>
#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimeEdit>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <utility>

namespace ledsign {

namespace {

constexpr int kCaptions = 8;
constexpr int kSizePoints[] = {9, 12, 18, 24, 36, 48, 60, 72};
constexpr int kDefaultPointSize = 10;

// A caption of the window's category; the table pads some with blanks.
QString lg(const char* key)
{
    return GetLgText(kCaptions, QString::fromLatin1(key)).trimmed();
}

QStringList lgList(int sub)
{
    return GetLgList(kCaptions, sub);
}


} // namespace

TextProgramWindow::TextProgramWindow(ProjectModel& model, TextProgramSender* sender, QWidget* parent)
    : QDialog(parent)
    , model_(model)
    , program_(model)
    , sender_(sender)
{
    buildUi();
}

void TextProgramWindow::buildUi()
{
    applyCaption();
    auto* layout = new QVBoxLayout(this);

    auto* bar = new QToolBar(this);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    bar->addAction(style()->standardIcon(QStyle::SP_DialogOpenButton), lg("tBtnOpenPrg"), this,
                   &TextProgramWindow::openFile);
    bar->addAction(style()->standardIcon(QStyle::SP_DialogSaveButton), lg("tBtnSavePrg"), this,
                   &TextProgramWindow::saveAs);
    bar->addAction(style()->standardIcon(QStyle::SP_ArrowForward), lg("tBtnSendPrg"), this, &TextProgramWindow::send);
    bar->addAction(style()->standardIcon(QStyle::SP_DialogCloseButton), lg("tBtnExit"), this, &QDialog::close);
    layout->addWidget(bar);

    // Pages.
    auto* pageBox = new QGroupBox(lg("gbPage"), this);
    auto* pageLayout = new QGridLayout(pageBox);
    pageName_ = new QLineEdit(pageBox);
    start_ = new QTimeEdit(QTime(0, 0), pageBox);
    end_ = new QTimeEdit(QTime(23, 59), pageBox);
    start_->setDisplayFormat(QStringLiteral("HH:mm"));
    end_->setDisplayFormat(QStringLiteral("HH:mm"));
    auto* newPageButton = new QPushButton(lg("btNewProgram"), pageBox);
    editPageButton_ = new QPushButton(lg("btEditProgram"), pageBox);
    deletePageButton_ = new QPushButton(lg("btDelProgram"), pageBox);
    pageLayout->addWidget(new QLabel(lg("gbPageName"), pageBox), 0, 0);
    pageLayout->addWidget(pageName_, 0, 1);
    pageLayout->addWidget(new QLabel(lg("gbStartTime"), pageBox), 0, 2);
    pageLayout->addWidget(start_, 0, 3);
    pageLayout->addWidget(new QLabel(lg("gbEndTime"), pageBox), 0, 4);
    pageLayout->addWidget(end_, 0, 5);
    pageLayout->addWidget(newPageButton, 1, 3);
    pageLayout->addWidget(editPageButton_, 1, 4);
    pageLayout->addWidget(deletePageButton_, 1, 5);
    pageList_ = new QTreeWidget(pageBox);
    pageList_->setRootIsDecorated(false);
    pageList_->setHeaderLabels(lgList(1));
    pageLayout->addWidget(pageList_, 2, 0, 1, 6);
    layout->addWidget(pageBox);

    // Materials.
    auto* materialBox = new QGroupBox(lg("gbMaterial"), this);
    auto* form = new QGridLayout(materialBox);
    materialName_ = new QLineEdit(materialBox);
    playTimes_ = new QLineEdit(QStringLiteral("1"), materialBox);
    stay_ = new QLineEdit(QStringLiteral("0"), materialBox);
    mode_ = new QComboBox(materialBox);
    // The first twelve display modes of the shared option list.
    QStringList modes;
    for (QString mode : GetLgList(11, 2).mid(0, 12))
        modes << (mode.endsWith(QLatin1Char(';')) ? mode.chopped(1) : mode);
    mode_->addItems(modes);
    speed_ = new QComboBox(materialBox);
    for (int s = 0; s <= 8; ++s)
        speed_->addItem(QString::number(s));
    attribute_ = new QComboBox(materialBox);
    attribute_->addItems(lgList(3));
    color_ = new QComboBox(materialBox);
    for (int code = 1; code <= kColorCount; ++code)
        color_->addItem(programColorName(code), code);
    font_ = new QComboBox(materialBox);
    font_->addItems(textFontChoices());
    size_ = new QComboBox(materialBox);
    for (int side : {12, 16, 24, 32, 48, 64, 80, 96})
        size_->addItem(QStringLiteral("%1*%1").arg(side));
    const QList<QPair<const char*, QWidget*>> fields{
        {"gbMaterialName", materialName_}, {"gbPlayTimes", playTimes_}, {"gbShowMode", mode_},
        {"gbShowSpeed", speed_},           {"gbStopTime", stay_},       {"gbAttr", attribute_},
        {"gbFontColor", color_},           {"gbFont", font_},           {"gbFontSize", size_}};
    int i = 0;
    for (const auto& [label, widget] : fields) {
        form->addWidget(new QLabel(lg(label), materialBox), i / 3, (i % 3) * 2);
        form->addWidget(widget, i / 3, (i % 3) * 2 + 1);
        ++i;
    }
    editor_ = new QTextEdit(materialBox);
    editor_->setAcceptRichText(false);
    editor_->setMinimumHeight(90);
    form->addWidget(editor_, 3, 0, 1, 6);
    addMaterialButton_ = new QPushButton(lg("btNewFodder"), materialBox);
    auto* editMaterialButton = new QPushButton(lg("btEditFodder"), materialBox);
    auto* deleteMaterialButton = new QPushButton(lg("btDelFodder"), materialBox);
    form->addWidget(addMaterialButton_, 4, 3);
    form->addWidget(editMaterialButton, 4, 4);
    form->addWidget(deleteMaterialButton, 4, 5);
    materialList_ = new QTreeWidget(materialBox);
    materialList_->setRootIsDecorated(false);
    materialList_->setHeaderLabels(lgList(2));
    form->addWidget(materialList_, 5, 0, 1, 6);
    layout->addWidget(materialBox);

    status_ = new QStatusBar(this);
    status_->setSizeGripEnabled(false);
    layout->addWidget(status_);

    // Every choice of a material is the operator's: no list starts with one
    // chosen, so that each "select ..." warning can stop a material. The
    // editor itself starts red, 10 points, "宋体" in simplified Chinese and
    // "Arial" otherwise.
    for (QComboBox* b : {mode_, speed_, attribute_, color_, font_, size_})
        b->setCurrentIndex(-1);
    QTextCharFormat start;
    if (const ColorEntry* red = colorEntry(1))
        start.setForeground(QColor::fromRgb(red->rgb));
    QtRichTextDocument::setCardFont(start, currentLanguage() == kSimplifiedChinese ? defaultCardFontName()
                                                                                   : QStringLiteral("Arial"));
    start.setFontPointSize(kDefaultPointSize);
    look_ = start;
    editor_->setCurrentCharFormat(look_);

    connect(newPageButton, &QPushButton::clicked, this, &TextProgramWindow::newPage);
    connect(editPageButton_, &QPushButton::clicked, this, &TextProgramWindow::editPage);
    connect(deletePageButton_, &QPushButton::clicked, this, &TextProgramWindow::deletePage);
    connect(addMaterialButton_, &QPushButton::clicked, this, &TextProgramWindow::newMaterial);
    connect(editMaterialButton, &QPushButton::clicked, this, &TextProgramWindow::editMaterial);
    connect(deleteMaterialButton, &QPushButton::clicked, this, &TextProgramWindow::deleteMaterial);
    connect(pageList_, &QTreeWidget::itemSelectionChanged, this, &TextProgramWindow::selectPage);
    connect(materialList_, &QTreeWidget::itemSelectionChanged, this, &TextProgramWindow::selectMaterial);
    for (QComboBox* b : {color_, font_, size_})
        connect(b, &QComboBox::currentIndexChanged, this, &TextProgramWindow::applyEditorLook);
    editor_->installEventFilter(this);
    // The lists show the look where the operator moves the selection to;
    // the cursor moving on behind typed or pasted text leaves them as they are.
    connect(editor_->document(), &QTextDocument::contentsChange, this, [this] {
        textChanged_ = true;
        QTimer::singleShot(0, this, [this] { textChanged_ = false; });
    });
    connect(editor_, &QTextEdit::cursorPositionChanged, this, [this] {
        if (!std::exchange(textChanged_, false))
            showSelectionLook();
    });
    selectPage();
    resize(760, 720);
}

void TextProgramWindow::applyEditorLook()
{
    // Only what has been chosen changes the look.
    QTextCharFormat f;
    if (const ColorEntry* c = colorEntry(color_->currentData().toInt()))
        f.setForeground(QColor::fromRgb(c->rgb));
    if (font_->currentIndex() >= 0)
        QtRichTextDocument::setCardFont(f, font_->currentText());
    if (size_->currentIndex() >= 0)
        f.setFontPointSize(kSizePoints[std::clamp(size_->currentIndex(), 0, 7)]);
    QTextCursor cursor = editor_->textCursor();
    if (cursor.hasSelection()) {
        cursor.mergeCharFormat(f);
    } else {
        look_.merge(f);
        editor_->mergeCurrentCharFormat(f);
    }
}

void TextProgramWindow::clearEditor()
{
    // An emptied editor goes on writing in the default look.
    editor_->clear();
    editor_->setCurrentCharFormat(look_);
}

bool TextProgramWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == editor_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool paste = key->matches(QKeySequence::Paste) ||
                           (key->key() == Qt::Key_Insert && key->modifiers() == Qt::ShiftModifier);
        if (paste) {
            // Pasted text goes on a new line at the end, without its formatting.
            const QString text = QApplication::clipboard()->text();
            if (!text.isEmpty()) {
                QTextCursor cursor(editor_->document());
                cursor.movePosition(QTextCursor::End);
                cursor.insertText(QStringLiteral("\n") + text, editor_->currentCharFormat());
            }
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TextProgramWindow::showSelectionLook()
{
    const QTextCharFormat f = editor_->currentCharFormat();
    const QSignalBlocker b1(color_), b2(font_), b3(size_);
    // A colour or font outside the lists shows no choice, which the operator
    // then has to make.
    const int code = colorCodeOfScreenColor(f.foreground().color());
    color_->setCurrentIndex(color_->findData(code));
    const QString cardFont = QtRichTextDocument::cardFontOf(f);
    font_->setCurrentIndex(cardFont.isEmpty() ? -1 : font_->findText(cardFont));
    const int points = qRound(f.fontPointSize());
    int sizeIndex = 1; // any other size shows 16x16
    for (int i = 0; i < 8; ++i)
        if (kSizePoints[i] == points)
            sizeIndex = i;
    size_->setCurrentIndex(sizeIndex);
}

void TextProgramWindow::report(const QString& key)
{
    status_->showMessage(messageText(key));
}

void TextProgramWindow::showStatusText(const QString& text)
{
    status_->showMessage(text);
}

QString TextProgramWindow::statusText() const
{
    return status_->currentMessage();
}

void TextProgramWindow::applyCaption()
{
    setWindowTitle(GetLgText(kCaptions, QStringLiteral("remote_text_send")));
}

void TextProgramWindow::prepare(const QString& file, const QString& cardName, bool rs485)
{
    applyCaption(); // the language may have changed since the last opening
    cardName_ = cardName;
    rs485_ = rs485;
    if (!file.isEmpty() && QFileInfo::exists(file))
        loadFile(file);
    fillPageList();
}

QString TextProgramWindow::open(const QString& file, const QString& cardName, bool rs485)
{
    prepare(file, cardName, rs485);
    exec();
    return lastFile_;
}

QStringList TextProgramWindow::rowPageIds() const
{
    QStringList ids;
    for (int i = 0; i < pageList_->topLevelItemCount(); ++i)
        ids << pageList_->topLevelItem(i)->text(1);
    return ids;
}

void TextProgramWindow::fillPageList()
{
    const QSignalBlocker block(pageList_);
    pageList_->clear();
    int n = 0;
    for (const TProgram& p : program_.pages())
        pageList_->addTopLevelItem(new QTreeWidgetItem(
            QStringList{QString::number(++n), p.id, p.name, p.startTime, p.endTime}));
    selectPage();
}

void TextProgramWindow::fillMaterialList()
{
    const QSignalBlocker block(materialList_);
    materialList_->clear();
    int n = 0;
    for (const TFodder& m : program_.materialsOf(selectedPage_))
        materialList_->addTopLevelItem(
            new QTreeWidgetItem(QStringList{QString::number(++n), m.id, m.name, m.content}));
}

void TextProgramWindow::selectPage()
{
    materialName_->clear();
    clearEditor();
    const QTreeWidgetItem* row = pageList_->currentItem();
    const bool any = row && row->isSelected();
    selectedPage_ = any ? row->text(1) : QString();
    if (const TProgram* p = program_.page(selectedPage_)) {
        pageName_->setText(p->name);
        start_->setTime(QTime::fromString(p->startTime, QStringLiteral("HH:mm")));
        end_->setTime(QTime::fromString(p->endTime, QStringLiteral("HH:mm")));
    }
    fillMaterialList();
    editPageButton_->setEnabled(any);
    deletePageButton_->setEnabled(any);
    addMaterialButton_->setEnabled(any);
}

void TextProgramWindow::newPage()
{
    const TextProgramCheck check = TextProgram::checkPage(pageName_->text(), start_->time(), end_->time());
    if (!check.ok) {
        report(check.key);
        return;
    }
    program_.addPage(pageName_->text(), start_->time(), end_->time(),
                     messageText(QStringLiteral("cycle_everyday")));
    fillPageList();
    materialList_->clear();
}

void TextProgramWindow::editPage()
{
    if (selectedPage_.isEmpty())
        return;
    const TextProgramCheck check = TextProgram::checkPage(pageName_->text(), start_->time(), end_->time());
    if (!check.ok) {
        report(check.key);
        return;
    }
    program_.editPage(selectedPage_, pageName_->text(), start_->time(), end_->time());
    fillPageList();
    report(QStringLiteral("tip_page_edit"));
}

void TextProgramWindow::deletePage()
{
    if (program_.removePage(selectedPage_)) {
        fillPageList();
        report(QStringLiteral("tip_page_del"));
    }
}

TextMaterialForm TextProgramWindow::form() const
{
    TextMaterialForm f;
    f.name = materialName_->text();
    f.playTimes = playTimes_->text();
    f.displayMode = mode_->currentIndex();
    f.displaySpeed = speed_->currentIndex();
    f.remainTime = stay_->text();
    f.editorText = editor_->toPlainText();
    f.contentAttribute = attribute_->currentIndex();
    f.color = color_->currentIndex();
    f.font = font_->currentIndex();
    f.size = size_->currentIndex();
    return f;
}

QString TextProgramWindow::editorMarkup() const
{
    QtRichTextDocument doc(editor_->document());
    return writeTextProgramMarkup(doc);
}

void TextProgramWindow::loadEditorMarkup(const QString& markup)
{
    QtRichTextDocument doc(editor_->document());
    loadTextProgramMarkup(markup, doc);
}

void TextProgramWindow::newMaterial()
{
    if (selectedPage_.isEmpty())
        return;
    const TextMaterialForm f = form();
    const TextProgramCheck check = TextProgram::checkMaterial(f, rs485_);
    if (!check.ok) {
        if (check.messageBox)
            QMessageBox::warning(this, windowTitle(), messageText(check.key));
        else
            report(check.key);
        return;
    }
    // The operator is told to wait, and the material is made on a later turn
    // of the event loop, with the window disabled until it is there.
    report(QStringLiteral("tip_wait"));
    setEnabled(false);
    QTimer::singleShot(0, this, [this] { createMaterial(); });
}

void TextProgramWindow::createMaterial()
{
    const TextMaterialForm f = form();
    if (program_.page(selectedPage_)) {
        const ContentCut cut = cutTextProgramContent(editorMarkup());
        program_.addMaterial(selectedPage_, f, cut.content);
        materialName_->clear();
        clearEditor();
        if (!cut.rest.isEmpty()) {
            loadEditorMarkup(cut.rest);
            report(QStringLiteral("warn_material_generate"));
        } else {
            report(QStringLiteral("tip_done"));
        }
        fillMaterialList();
    }
    setEnabled(true);
    emit materialCreated();
}

void TextProgramWindow::selectMaterial()
{
    const QTreeWidgetItem* row = materialList_->currentItem();
    const TFodder* m = row ? program_.material(row->text(1)) : nullptr;
    if (!m)
        return;
    materialName_->setText(m->name);
    playTimes_->setText(QString::number(m->playTimes));
    mode_->setCurrentIndex(m->displayMode);
    speed_->setCurrentIndex(m->displaySpeed);
    stay_->setText(QString::number(m->remainTime));
    attribute_->setCurrentIndex(m->typeCode - 1);
    loadEditorMarkup(m->content);
}

void TextProgramWindow::editMaterial()
{
    const QTreeWidgetItem* row = materialList_->currentItem();
    if (!row)
        return;
    if (program_.editMaterial(row->text(1), form(), editorMarkup())) {
        fillMaterialList();
        report(QStringLiteral("tip_material_edit"));
    }
}

void TextProgramWindow::deleteMaterial()
{
    const QTreeWidgetItem* row = materialList_->currentItem();
    if (row && program_.removeMaterial(row->text(1))) {
        fillMaterialList();
        report(QStringLiteral("tip_material_del"));
    }
}

bool TextProgramWindow::saveFile(const QString& path)
{
    if (!program_.hasContent())
        return false;
    QString error;
    if (!saveTextProgramFile(path, program_.data(), &error)) {
        status_->showMessage(error);
        return false;
    }
    lastFile_ = path;
    report(QStringLiteral("tip_program_file_saved"));
    return true;
}

bool TextProgramWindow::loadFile(const QString& path)
{
    TextProgramData data;
    QString error;
    if (!loadTextProgramFile(path, data, QDateTime::currentDateTime(),
                             messageText(QStringLiteral("cycle_everyday")), &error)) {
        status_->showMessage(error);
        return false;
    }
    program_.replaceWith(data);
    selectedPage_.clear();
    fillPageList();
    lastFile_ = path;
    return true;
}

void TextProgramWindow::saveAs()
{
    QString path = QFileDialog::getSaveFileName(this, QString(), folder_, QStringLiteral("*.tprg"),
                                                nullptr, QFileDialog::DontConfirmOverwrite);
    if (path.isEmpty())
        return;
    if (!path.contains(QLatin1String(kTextProgramExtension)))
        path += QLatin1String(kTextProgramExtension);
    if (QFileInfo::exists(path) &&
        QMessageBox::question(this, windowTitle(), messageText(QStringLiteral("dlg_overwrite_exist_program_file"))) !=
            QMessageBox::Yes)
        return;
    saveFile(path);
}

void TextProgramWindow::openFile()
{
    const QString path = QFileDialog::getOpenFileName(this, QString(), folder_, QStringLiteral("*.tprg"));
    if (!path.isEmpty())
        loadFile(path);
}

void TextProgramWindow::send()
{
    if (program_.allMaterials().isEmpty()) {
        report(QStringLiteral("warn_contents_empty"));
        return;
    }
    if (sender_)
        sender_->start(cardName_, rowPageIds(), rs485_);
}

} // namespace ledsign
