#include "workspace/bindofferdialog.h"

#include "language/language.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace ledsign {

namespace {

QLabel* wrappedLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

} // namespace

BindOfferDialog::BindOfferDialog(const BindOffer& offer, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmBindOffer"));
    setWindowTitle(messageText(QStringLiteral("step_bind_card")));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(wrappedLabel(messageText(QStringLiteral("dlg_tie_card")).arg(offer.code, offer.card), this));
    if (offer.sizesDiffer()) {
        const QString sizes = messageText(QStringLiteral("bind_offer_sizes"))
                                  .arg(offer.reported.width())
                                  .arg(offer.reported.height())
                                  .arg(offer.card)
                                  .arg(offer.listed.width())
                                  .arg(offer.listed.height());
        auto* said = wrappedLabel(sizes, this);
        said->setObjectName(QStringLiteral("lbSizes"));
        layout->addWidget(said);
        if (!offer.outside.isEmpty()) {
            auto* outside = wrappedLabel(
                messageText(QStringLiteral("bind_offer_outside")).arg(offer.outside.join(QStringLiteral(", "))), this);
            outside->setObjectName(QStringLiteral("lbOutside"));
            layout->addWidget(outside);
        }
    }
    // The playbill is in question only when it may not fit.
    if (offer.sizesDiffer() && offer.hasPlaybill) {
        keep_ = new QRadioButton(messageText(QStringLiteral("bind_keep")), this);
        keep_->setObjectName(QStringLiteral("rbKeep"));
        keep_->setChecked(true);
        layout->addWidget(keep_);
        if (!offer.outside.isEmpty()) {
            clip_ = new QRadioButton(messageText(QStringLiteral("bind_clip")), this);
            clip_->setObjectName(QStringLiteral("rbClip"));
            layout->addWidget(clip_);
        }
        empty_ = new QRadioButton(messageText(QStringLiteral("bind_empty")), this);
        empty_->setObjectName(QStringLiteral("rbEmpty"));
        layout->addWidget(empty_);
    }
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* bind = buttons->addButton(messageText(QStringLiteral("bind_yes")), QDialogButtonBox::AcceptRole);
    bind->setObjectName(QStringLiteral("btBind"));
    QPushButton* no = buttons->addButton(messageText(QStringLiteral("bind_no")), QDialogButtonBox::RejectRole);
    no->setObjectName(QStringLiteral("btNoBind"));
    bind->setDefault(true);
    bind->setFocus();
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    setMinimumWidth(420);
}

std::optional<BindChoice> BindOfferDialog::choice() const
{
    if (result() != QDialog::Accepted)
        return std::nullopt;
    if (empty_ && empty_->isChecked())
        return BindChoice::StartEmpty;
    if (clip_ && clip_->isChecked())
        return BindChoice::ClipRegions;
    return BindChoice::KeepRegions;
}

} // namespace ledsign
