// The offer made when a card nobody knows comes on line while an off-line
// card made in the window is selected: give it the code of the card on the
// line? When the two sizes differ it says both, names the areas that no
// longer fit, and lets the operator keep the playbill (the areas as they
// are, or cut to the card) or start empty. Bind is the default button.
#pragma once

#include "editing/cardbinding.h"

#include <QDialog>

#include <optional>

class QRadioButton;

namespace ledsign {

class BindOfferDialog : public QDialog {
    Q_OBJECT
public:
    BindOfferDialog(const BindOffer& offer, QWidget* parent = nullptr);

    // What the operator chose; nothing when the card is not to be bound.
    std::optional<BindChoice> choice() const;

private:
    QRadioButton* keep_ = nullptr;
    QRadioButton* clip_ = nullptr;
    QRadioButton* empty_ = nullptr;
};

} // namespace ledsign
