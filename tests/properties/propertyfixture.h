// A small project shared by the property tests: one 256 x 128 card with a
// page, a region and one material of every kind, in English.
#pragma once

#include "editing/propertysession.h"
#include "language/language.h"
#include "model/materialkinds.h"
#include "model/projectmodel.h"
#include "model/settings.h"

#include <gtest/gtest.h>

namespace ledsign::test {

class PropertyFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        setCurrentLanguage(kEnglish);
        settings.commMode = GetLgText(3, QStringLiteral("comm_param_network"));
        settings.commParam01 = QStringLiteral("/dev/ttyS0");
        settings.commParam02 = QStringLiteral("8900");
        TFIXModem card;
        card.name = QStringLiteral("card1");
        card.width = 256;
        card.height = 128;
        card.internalCode = QStringLiteral("1_2_3_4_5_6_7_8");
        card.ipAddress = QStringLiteral("192.168.0.110");
        card.version = 80;
        card.programFile = QStringLiteral("/data/prg Files/my show.prg");
        model.addCard(card);
        TProgram page;
        page.cardName = card.name;
        page.name = QStringLiteral("show_page1");
        page.id = QStringLiteral("100000001");
        page.playCycle = QStringLiteral("everyday");
        model.appendPage(page);
        TProgram second = page;
        second.name = QStringLiteral("show_page2");
        second.id = QStringLiteral("100000002");
        model.appendPage(second);
        TRegion region;
        region.cardName = card.name;
        region.pageName = page.name;
        region.pageId = page.id;
        region.name = QStringLiteral("area1");
        region.id = QStringLiteral("100000003");
        region.panelName = QStringLiteral("pnRegion7");
        region.left = 0;
        region.top = 0;
        region.width = 128;
        region.height = 64;
        model.appendRegion(region);
    }

    // Adds a material of the kind named "<kind>m" and returns its name.
    QString addMaterial(int kind, const QString& id = QString())
    {
        TFodder m = defaultMaterial(kind);
        m.cardName = QStringLiteral("card1");
        m.pageName = QStringLiteral("show_page1");
        m.regionName = QStringLiteral("area1");
        m.regionId = QStringLiteral("100000003");
        m.name = QStringLiteral("m%1").arg(kind);
        m.id = id.isEmpty() ? QStringLiteral("2000000%1").arg(kind, 2, 10, QLatin1Char('0')) : id;
        m.panelName = QStringLiteral("pnM%1").arg(kind);
        model.appendMaterialToRegion(m);
        return m.name;
    }

    bool showMaterial(const QString& name)
    {
        return session.showMaterial(QStringLiteral("card1"), QStringLiteral("show_page1"), QStringLiteral("area1"),
                                    name);
    }

    TFodder& material(const QString& name)
    {
        return *model.findMaterial(QStringLiteral("card1"), QStringLiteral("show_page1"), QStringLiteral("area1"),
                                   name)
                    .record;
    }

    TFIXModem& card() { return *model.findCard(QStringLiteral("card1")).record; }
    TProgram& page() { return *model.findPage(QStringLiteral("card1"), QStringLiteral("show_page1")).record; }
    TRegion& region()
    {
        return *model.findRegion(QStringLiteral("card1"), QStringLiteral("show_page1"), QStringLiteral("area1"))
                    .record;
    }

    QStringList labels() const
    {
        QStringList out;
        for (const PropertyRow& r : session.rows())
            out << r.label;
        return out;
    }
    QString value(int row) const { return session.rows().at(row).value; }

    ProjectModel model;
    AppSettings settings;
    PropertySession session{model, settings};
};

} // namespace ledsign::test
