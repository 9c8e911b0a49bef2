#include "language/fixedtexts.h"
#include "content/ui/internalcodeeditor.h"
#include "content/ui/savepathprompt.h"

#include "content/fontresolver.h"
#include "content/fonttable.h"
#include "content/richtextfile.h"
#include "content/texteditrules.h"
#include "language/language.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QToolBar>
#include <QVBoxLayout>

namespace ledsign {

namespace {
constexpr int kCaptionCategory = 7;
constexpr int kButtonCategory = 7;
}

InternalCodeEditor::InternalCodeEditor(const QString& content, const QString& fontName, int pointSize,
                                       const QColor& color, QWidget* parent)
    : QDialog(parent)
    , original_(content)
    , content_(content)
{
    setWindowTitle(GetLgText(kCaptionCategory, QStringLiteral("internal_code_caption")));
    resize(560, 360);
    auto* layout = new QVBoxLayout(this);
    auto* bar = new QToolBar(this);
    bar->addAction(GetLgText(kButtonCategory, QStringLiteral("tBtnNewTxt")).trimmed(), this, &InternalCodeEditor::newText);
    bar->addAction(GetLgText(kButtonCategory, QStringLiteral("tBtnOpenTxt")).trimmed(), this, &InternalCodeEditor::openText);
    bar->addAction(GetLgText(kButtonCategory, QStringLiteral("tBtnSaveTxt")).trimmed(), this, &InternalCodeEditor::saveText);
    layout->addWidget(bar);

    memo_ = new QPlainTextEdit(this);
    QFont font;
    font.setFamilies(cardFontFamilies(fontName));
    font.setPointSize(qMax(1, pointSize));
    memo_->setFont(font);
    QPalette pal = memo_->palette();
    pal.setColor(QPalette::Base, Qt::black);
    pal.setColor(QPalette::Text, color.isValid() ? color : QColor(Qt::red));
    memo_->setPalette(pal);
    memo_->setPlainText(content);
    memo_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(memo_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu menu(this);
        menu.addAction(GetLgText(kButtonCategory, QStringLiteral("tBtnEditCopy")), memo_, &QPlainTextEdit::copy);
        menu.addAction(GetLgText(kButtonCategory, QStringLiteral("tBtnEditPaste")), this,
                       [this] { pasteAsLine(QApplication::clipboard()->text()); });
        menu.exec(memo_->mapToGlobal(at));
    });
    layout->addWidget(memo_);
}

void InternalCodeEditor::pasteAsLine(const QString& clipboard)
{
    memo_->appendPlainText(internalCodePasteText(clipboard));
}

QStringList InternalCodeEditor::lines() const
{
    return memo_->toPlainText().split(QLatin1Char('\n'));
}

void InternalCodeEditor::done(int)
{
    content_ = internalCodeContent(lines());
    changed_ = content_ != original_;
    QDialog::done(QDialog::Accepted);
}

void InternalCodeEditor::newText()
{
    memo_->clear();
}

void InternalCodeEditor::openText()
{
    const QString path =
        QFileDialog::getOpenFileName(this, QString(), QString(), QStringLiteral("All(*.txt)"));
    if (path.isEmpty())
        return;
    QByteArray bytes;
    QString error;
    if (!readFileBytes(path, &bytes, &error)) {
        QMessageBox::warning(this, windowTitle(), error);
        return;
    }
    memo_->setPlainText(decodeTextLines(bytes).join(QLatin1Char('\n')));
}

void InternalCodeEditor::saveText()
{
    const QString path = askSavePath(this, fixedtext::textFileFilter(QStringLiteral("txt")), QStringLiteral("txt"));
    if (path.isEmpty())
        return;
    QString error;
    if (!writeFileBytes(path, encodeTextLines(lines()), &error))
        QMessageBox::warning(this, windowTitle(), error);
}

} // namespace ledsign
