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
    QStringList names = GetLgList(6, 1);
    if (names.size() < 8)
        names = QStringLiteral("黑色,红色,绿色,黄色,蓝色,紫色,青色,白色").split(QLatin1Char(','));
    for (int i = 0; i < 8; ++i)
        box->addItem(swatchOf(backgroundColorOfIndex(i)), names.at(i));
}

void fillCardColorList(QComboBox* box)
{
    QStringList names = GetLgList(11, 1);
    if (names.size() < 7)
        names = QStringLiteral("红色,绿色,黄色,蓝色,紫色,青色,白色").split(QLatin1Char(','));
    for (int i = 0; i < 7; ++i)
        box->addItem(swatchOf(cardColorOfIndex(i)), names.at(i));
}

void fillLineWidthList(QComboBox* box)
{
    for (int w = 1; w <= 5; ++w)
        box->addItem(QString::number(w));
}

} // namespace ledsign
