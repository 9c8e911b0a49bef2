#include "content/ui/tablecolorlists.h"

#include "content/tablemodel.h"
#include "language/language.h"

#include <QComboBox>
#include <QPainter>
#include <QPixmap>

namespace ledsign {

namespace {

QIcon swatchOf(TableColor c)
{
    QPixmap pix(16, 12);
    pix.fill(QColor::fromRgb(tableColorToRgb(c)));
    QPainter p(&pix);
    p.setPen(Qt::gray);
    p.drawRect(0, 0, 15, 11);
    return QIcon(pix);
}

} // namespace

void fillBackgroundColorList(QComboBox* box)
{
    const QStringList names = GetLgList(6, 1);
    for (int i = 0; i < 8; ++i)
        box->addItem(swatchOf(backgroundColorOfIndex(i)), names.value(i));
}

void fillCardColorList(QComboBox* box)
{
    const QStringList names = GetLgList(11, 1);
    for (int i = 0; i < 7; ++i)
        box->addItem(swatchOf(cardColorOfIndex(i)), names.value(i));
}

void fillLineWidthList(QComboBox* box)
{
    for (int w = 1; w <= 5; ++w)
        box->addItem(QString::number(w));
}

} // namespace ledsign
