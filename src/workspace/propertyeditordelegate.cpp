#include "workspace/propertyeditordelegate.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

namespace ledsign {

namespace {

constexpr int kButtonWidth = 20;

} // namespace

PropertyRowDelegate::PropertyRowDelegate(const PropertySession& session, QAbstractItemView* view)
    : QStyledItemDelegate(view)
    , session_(session)
    , view_(view)
{
}

QRect PropertyRowDelegate::buttonRect(const QRect& cell)
{
    const int width = qMin(kButtonWidth, cell.width());
    return {cell.right() - width + 1, cell.top(), width, cell.height()};
}

const PropertyRow* PropertyRowDelegate::rowOf(const QModelIndex& index) const
{
    if (!index.isValid() || index.row() >= session_.rowCount())
        return nullptr;
    return &session_.rows().at(index.row());
}

QWidget* PropertyRowDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                           const QModelIndex& index) const
{
    const PropertyRow* row = rowOf(index);
    if (row && row->style == RowStyle::Choice) {
        auto* combo = new QComboBox(parent);
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->addItems(row->choices);
        combo->setMaxVisibleItems(17);
        // Picking a choice applies it at once; typed text when the editor closes.
        connect(combo, &QComboBox::activated, this, [this, combo] {
            auto* self = const_cast<PropertyRowDelegate*>(this);
            emit self->commitData(combo);
            emit self->closeEditor(combo);
        });
        return combo;
    }
    auto* edit = new QLineEdit(parent);
    edit->setFrame(false);
    return edit;
}

void PropertyRowDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    const QString text = index.data(Qt::EditRole).toString();
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        const int at = combo->findText(text);
        if (at >= 0)
            combo->setCurrentIndex(at);
        combo->setEditText(text);
    } else if (auto* edit = qobject_cast<QLineEdit*>(editor)) {
        edit->setText(text);
    }
}

void PropertyRowDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    if (auto* combo = qobject_cast<QComboBox*>(editor))
        model->setData(index, combo->currentText(), Qt::EditRole);
    else if (auto* edit = qobject_cast<QLineEdit*>(editor))
        model->setData(index, edit->text(), Qt::EditRole);
}

void PropertyRowDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                               const QModelIndex& index) const
{
    QRect rect = option.rect;
    const PropertyRow* row = rowOf(index);
    // Dialog rows keep their button visible and clickable while typing.
    if (row && row->style == RowStyle::Button)
        rect.setRight(buttonRect(option.rect).left() - 1);
    editor->setGeometry(rect);
}

void PropertyRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const
{
    const PropertyRow* row = rowOf(index);
    if (!row || row->style == RowStyle::Plain) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem textOption = option;
    textOption.rect.setRight(buttonRect(option.rect).left() - 1);
    QStyledItemDelegate::paint(painter, textOption, index);

    QStyle* style = view_ ? view_->style() : QApplication::style();
    const QRect button = buttonRect(option.rect).adjusted(1, 1, -1, -1);
    if (row->style == RowStyle::Button) {
        QStyleOptionButton opt;
        opt.rect = button;
        opt.text = QStringLiteral("...");
        opt.state = QStyle::State_Enabled | QStyle::State_Raised;
        opt.palette = option.palette;
        style->drawControl(QStyle::CE_PushButton, &opt, painter, view_);
    } else {
        QStyleOption opt;
        opt.rect = button.adjusted(2, 3, -2, -3);
        opt.state = QStyle::State_Enabled;
        opt.palette = option.palette;
        style->drawPrimitive(QStyle::PE_IndicatorArrowDown, &opt, painter, view_);
    }
}

bool PropertyRowDelegate::editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                                      const QModelIndex& index)
{
    const PropertyRow* row = rowOf(index);
    const bool mouse = event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease;
    if (row && mouse && row->style != RowStyle::Plain) {
        auto* me = static_cast<QMouseEvent*>(event);
        if (me->button() == Qt::LeftButton && buttonRect(option.rect).contains(me->position().toPoint())) {
            if (event->type() == QEvent::MouseButtonRelease) {
                if (row->style == RowStyle::Button) {
                    emit buttonClicked(index.row());
                } else if (view_ && !row->readOnly) {
                    view_->setCurrentIndex(index);
                    view_->edit(index);
                    if (auto* combo = qobject_cast<QComboBox*>(view_->indexWidget(index)))
                        combo->showPopup();
                }
            }
            return true;
        }
    }
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}

} // namespace ledsign
