#include "language/fixedtexts.h"
#include "content/ui/richtexteditor.h"
#include "content/ui/savepathprompt.h"

#include "content/colortable.h"
#include "content/fontsizetable.h"
#include "content/fontresolver.h"
#include "content/fonttable.h"
#include "content/qtrichtextdocument.h"
#include "content/richtextfile.h"
#include "content/textrunmarkup.h"
#include "content/texteditrules.h"
#include "content/ui/richtextarea.h"
#include "language/language.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QTextBlock>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace ledsign {

namespace {

constexpr int kEditorCategory = 5;
constexpr int kOptionCategory = 11;
constexpr int kColorSub = 1;
constexpr int kVerticalAlignSub = 1;
constexpr int kSingleLineHeight = 350;
constexpr int kMultiLineHeight = 500;
constexpr int kDefaultPointSize = 12;

QString lg(const char* key)
{
    return GetLgText(kEditorCategory, QString::fromLatin1(key)).trimmed();
}

QIcon swatch(const QColor& color)
{
    QPixmap pix(16, 12);
    pix.fill(color);
    QPainter p(&pix);
    p.setPen(Qt::gray);
    p.drawRect(0, 0, 15, 11);
    return QIcon(pix);
}

QToolButton* toggle(QToolBar* bar, const QString& text, bool checkable)
{
    auto* b = new QToolButton(bar);
    b->setText(text);
    b->setCheckable(checkable);
    bar->addWidget(b);
    return b;
}

} // namespace

QString RichTextEditor::defaultFontName()
{
    return currentLanguage() == kEnglish ? QStringLiteral("Arial") : defaultCardFontName();
}

RichTextEditor::RichTextEditor(bool multiLine, const QString& content, int lineSpacing, int verticalAlignment,
                               int yOffset, int regionWidth, QWidget* parent)
    : QDialog(parent)
    , originalContent_(content)
    , content_(content)
    , lineSpacing_(lineSpacing)
    , verticalAlignment_(verticalAlignment)
    , yOffset_(yOffset)
    , originalSpacing_(lineSpacing)
    , originalVAlign_(verticalAlignment)
    , originalYOffset_(yOffset)
{
    setWindowTitle(GetLgText(kEditorCategory, multiLine ? QStringLiteral("multi_text_caption")
                                                        : QStringLiteral("single_text_caption")));
    auto* layout = new QVBoxLayout(this);
    area_ = new RichTextArea(this);
    buildToolbars(multiLine);

    const int areaWidth = textAreaWidth(regionWidth);
    area_->setFixedWidth(areaWidth);
    area_->document()->setDocumentMargin(0);
    area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    if (multiLine) {
        area_->setLineWrapMode(QTextEdit::FixedPixelWidth);
        area_->setLineWrapColumnOrWidth(areaWidth - 20);
    } else {
        area_->setLineWrapMode(QTextEdit::NoWrap);
    }
    QPalette pal = area_->palette();
    pal.setColor(QPalette::Base, Qt::black);
    pal.setColor(QPalette::Text, Qt::red);
    area_->setPalette(pal);
    QFont font;
    font.setFamilies(cardFontFamilies(defaultFontName()));
    font.setPointSize(kDefaultPointSize);
    area_->setFont(font);
    area_->document()->setDefaultFont(font);

    doc_ = std::make_unique<QtRichTextDocument>(area_->document());
    doc_->setDefaultAttributes(TextAttributes{QColor(Qt::red), defaultFontName(), kDefaultPointSize});
    QTextCharFormat start = QtRichTextDocument::formatOf(doc_->defaultAttributes());
    area_->setCurrentCharFormat(start);
    loadTextRunMarkup(content, *doc_);
    area_->document()->setModified(false);
    area_->moveCursor(QTextCursor::End);

    auto* row = new QHBoxLayout;
    row->addWidget(area_);
    row->addStretch();
    layout->addLayout(row, 1);

    spacingBox_->setText(QString::number(lineSpacing));
    vAlignBox_->setCurrentIndex(qBound(0, verticalAlignment, vAlignBox_->count() - 1));
    yOffsetBox_->setCurrentText(QString::number(yOffset));
    fontBox_->setCurrentText(defaultFontName());

    resize(textEditorWindowWidth(regionWidth), multiLine ? kMultiLineHeight : kSingleLineHeight);
    connect(area_, &QTextEdit::currentCharFormatChanged, this, [this] { syncToolbar(); });
    connect(area_, &QTextEdit::cursorPositionChanged, this, [this] { syncToolbar(); });
    syncToolbar();
}

RichTextEditor::~RichTextEditor()
{
    // An editable box that loses the focus while its tool bar is taken
    // down would still hand its text to this half-destroyed editor.
    for (QComboBox* box : findChildren<QComboBox*>())
        box->disconnect(this);
}

void RichTextEditor::buildToolbars(bool multiLine)
{
    auto* layout = static_cast<QVBoxLayout*>(this->layout());
    auto* files = new QToolBar(this);
    files->addAction(lg("tBtnNewTxt"), this, &RichTextEditor::newText);
    files->addAction(lg("tBtnOpenTxt"), this, &RichTextEditor::openFile);
    files->addAction(lg("tBtnSaveTxt"), this, &RichTextEditor::saveFile);
    files->addSeparator();
    files->addAction(lg("tBtnEditCut"), area_, &QTextEdit::cut);
    files->addAction(lg("tBtnEditCopy"), area_, &QTextEdit::copy);
    files->addAction(lg("tBtnEditPaste"), area_, &QTextEdit::paste);
    files->addAction(lg("tBtnEditUndo"), area_, &QTextEdit::undo);
    layout->addWidget(files);

    auto* look = new QToolBar(this);
    look->addWidget(new QLabel(lg("lbFont"), look));
    fontBox_ = new QComboBox(look);
    fontBox_->setEditable(true);
    // The names the card fonts stand in for; any other typed name is drawn
    // with the fallback font, and the editor says so.
    fontBox_->addItems(knownCardFontNames());
    fontBox_->setMinimumContentsLength(8);
    fontBox_->setMaximumWidth(150);
    look->addWidget(fontBox_);
    look->addWidget(new QLabel(lg("lbFontSize"), look));
    sizeBox_ = new QComboBox(look);
    sizeBox_->setEditable(true);
    sizeBox_->addItems(fontSizeListItems());
    look->addWidget(sizeBox_);
    look->addWidget(new QLabel(lg("lbFontColor"), look));
    colorBox_ = new QComboBox(look);
    const QStringList colorNames = GetLgList(kOptionCategory, kColorSub);
    for (int code = 1; code <= kColorCount; ++code)
        colorBox_->addItem(swatch(screenColor(code)), colorNames.value(code - 1, markupColorName(code)));
    look->addWidget(colorBox_);
    layout->addWidget(look);

    // The styles get a row of their own: beside the lists they would not fit
    // the window's standard width in every language.
    auto* styles = new QToolBar(this);
    bold_ = toggle(styles, lg("tBtnBold"), true);
    italic_ = toggle(styles, lg("tBtnItalic"), true);
    underline_ = toggle(styles, lg("tBtnUnderline"), true);
    strike_ = toggle(styles, lg("tBtnStrikeOut"), true);
    layout->addWidget(styles);

    auto* para = new QToolBar(this);
    align_[0] = toggle(para, lg("tBtnLeft"), true);
    align_[1] = toggle(para, lg("tBtnCenter"), true);
    align_[2] = toggle(para, lg("tBtnRight"), true);
    para->addWidget(new QLabel(lg("lbSHeight"), para));
    spacingBox_ = new QLineEdit(para);
    spacingBox_->setMaximumWidth(48);
    para->addWidget(spacingBox_);
    para->addWidget(new QLabel(lg("lbVAlign"), para));
    vAlignBox_ = new QComboBox(para);
    vAlignBox_->addItems(GetLgList(kEditorCategory, kVerticalAlignSub).mid(0, 3));
    para->addWidget(vAlignBox_);
    para->addWidget(new QLabel(lg("lbYAxisPos"), para));
    yOffsetBox_ = new QComboBox(para);
    yOffsetBox_->setEditable(true);
    for (int i = -1; i >= -5; --i)
        yOffsetBox_->addItem(QString::number(i));
    for (int i = 0; i <= 5; ++i)
        yOffsetBox_->addItem(QString::number(i));
    para->addWidget(yOffsetBox_);
    layout->addWidget(para);
    para->setVisible(multiLine);

    connect(fontBox_, &QComboBox::textActivated, this, &RichTextEditor::applyFontName);
    connect(sizeBox_, &QComboBox::textActivated, this, &RichTextEditor::applyPointSize);
    connect(colorBox_, &QComboBox::activated, this, &RichTextEditor::applyColorIndex);
    for (QToolButton* b : {bold_, italic_, underline_, strike_})
        connect(b, &QToolButton::clicked, this, &RichTextEditor::applyStyle);
    connect(align_[0], &QToolButton::clicked, this, [this] { applyAlignment(ParagraphAlignment::Left); });
    connect(align_[1], &QToolButton::clicked, this, [this] { applyAlignment(ParagraphAlignment::Centre); });
    connect(align_[2], &QToolButton::clicked, this, [this] { applyAlignment(ParagraphAlignment::Right); });
}

void RichTextEditor::syncToolbar()
{
    updating_ = true;
    const TextAttributes a = doc_->attributesOf(area_->currentCharFormat());
    fontBox_->setCurrentText(a.fontName);
    sizeBox_->setCurrentText(fontSizeDisplayText(a.pointSize));
    const int code = colorCodeOfScreenColor(a.color);
    colorBox_->setCurrentIndex(code >= 1 ? code - 1 : -1);
    bold_->setChecked(a.bold);
    italic_->setChecked(a.italic);
    underline_->setChecked(a.underline);
    strike_->setChecked(a.strikeOut);
    const Qt::Alignment al = area_->alignment();
    align_[0]->setChecked(!(al & (Qt::AlignHCenter | Qt::AlignRight)));
    align_[1]->setChecked(al & Qt::AlignHCenter);
    align_[2]->setChecked(al & Qt::AlignRight);
    updating_ = false;
}

void RichTextEditor::mergeFormat(const QTextCharFormat& format)
{
    QTextCursor cursor = area_->textCursor();
    if (cursor.hasSelection())
        cursor.mergeCharFormat(format);
    area_->mergeCurrentCharFormat(format);
    area_->setFocus();
}

void RichTextEditor::applyFontName(const QString& name)
{
    if (updating_ || name.isEmpty())
        return;
    QTextCharFormat f;
    QtRichTextDocument::setCardFont(f, name);
    mergeFormat(f);
}

void RichTextEditor::applyPointSize(const QString& listText)
{
    if (updating_)
        return;
    QTextCharFormat f;
    f.setFontPointSize(pointSizeFromListText(listText));
    mergeFormat(f);
}

void RichTextEditor::applyColorIndex(int index)
{
    if (updating_ || index < 0 || index >= kColorCount)
        return;
    QTextCharFormat f;
    f.setForeground(screenColor(index + 1));
    mergeFormat(f);
}

void RichTextEditor::applyStyle()
{
    if (updating_)
        return;
    QTextCharFormat f;
    f.setFontWeight(bold_->isChecked() ? QFont::Bold : QFont::Normal);
    f.setFontItalic(italic_->isChecked());
    f.setFontUnderline(underline_->isChecked());
    f.setFontStrikeOut(strike_->isChecked());
    mergeFormat(f);
}

void RichTextEditor::applyAlignment(ParagraphAlignment alignment)
{
    if (updating_)
        return;
    const Qt::Alignment a = alignment == ParagraphAlignment::Centre ? Qt::AlignHCenter
        : alignment == ParagraphAlignment::Right                    ? Qt::AlignRight
                                                                    : Qt::AlignLeft;
    area_->setAlignment(a);
    syncToolbar();
}

void RichTextEditor::newText()
{
    area_->clear();
    area_->setCurrentCharFormat(QtRichTextDocument::formatOf(doc_->defaultAttributes()));
}

bool RichTextEditor::saveTo(const QString& path, QString* error)
{
    return writeFileBytes(path, writeRtf(*doc_), error);
}

bool RichTextEditor::openFrom(const QString& path, QString* error)
{
    return loadTextEditorFile(path, *doc_, doc_->attributesOf(area_->currentCharFormat()), error);
}

void RichTextEditor::saveFile()
{
    const QString path = askSavePath(this, fixedtext::textFileFilter(QStringLiteral("rtf")), QStringLiteral("rtf"));
    if (path.isEmpty())
        return;
    QString error;
    if (!saveTo(path, &error))
        QMessageBox::warning(this, windowTitle(), error);
}

void RichTextEditor::openFile()
{
    const QString path = QFileDialog::getOpenFileName(this, QString(), QString(),
                                                      QStringLiteral("All(*.rtf *.txt)"));
    if (path.isEmpty())
        return;
    QString error;
    if (!openFrom(path, &error))
        QMessageBox::warning(this, windowTitle(), error);
}

void RichTextEditor::done(int)
{
    content_ = writeTextRunMarkup(*doc_);
    lineSpacing_ = integerOrZero(spacingBox_->text());
    verticalAlignment_ = qMax(0, vAlignBox_->currentIndex());
    yOffset_ = integerOrZero(yOffsetBox_->currentText());
    // A changed setting counts too, so that it is not lost for want of a save.
    changed_ = area_->document()->isModified() || lineSpacing_ != originalSpacing_
        || verticalAlignment_ != originalVAlign_ || yOffset_ != originalYOffset_;
    QDialog::done(QDialog::Accepted);
}

} // namespace ledsign
