// A page of a card as the card shows it when the page starts: each region's
// first material as the send conversion turns it into the card's display
// data, read back into lit and dark LEDs and placed at the region's corner.
// Kinds the card draws itself (clocks, counts, text programs) leave their
// region dark.
#pragma once

#include "service/outcome.h"

#include <QImage>
#include <QString>

namespace ledsign {

class ProjectModel;

// `page` counts from 1 in the card's page order.
Outcome pagePicture(const ProjectModel& model, const QString& cardName, int page, QImage* picture);

} // namespace ledsign
