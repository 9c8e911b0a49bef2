// A project on a temporary data folder with a steady clock, for the tests of
// the tree commands and the command enabling.
#pragma once

#include "editing/selection.h"
#include "editing/treecommands.h"
#include "language/language.h"
#include "model/datafolder.h"
#include "model/projectmodel.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>
#include <ostream>

// Test failures show texts as text.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace ledsign::test {

class EditingFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        setCurrentLanguage(kEnglish);
        ASSERT_TRUE(dir.isValid());
        folders = DataFolder(dir.path());
        ASSERT_TRUE(folders.ensureExists());
        // Identifiers advance 1 ms per call without sleeping.
        model = std::make_unique<ProjectModel>(TimeStampIds(
            [this] { return now.addMSecs(++ticks); }, [](int) {}));
        commands = std::make_unique<TreeCommands>(*model, folders, selection, [this] { return now; });
    }

    // A card with the given size (through the new-card command).
    NodePath card(const QString& name, int width = 256, int height = 128)
    {
        const CommandResult r = commands->addCard({name, QString::number(width), QString::number(height), 0});
        EXPECT_TRUE(r.changed) << r.message.toStdString();
        return r.select;
    }
    NodePath page(const NodePath& at)
    {
        const CommandResult r = commands->addPage(at);
        EXPECT_TRUE(r.changed) << r.message.toStdString();
        return r.select;
    }
    NodePath region(const NodePath& at)
    {
        const CommandResult r = commands->addRegion(at);
        EXPECT_TRUE(r.changed) << r.message.toStdString();
        return r.select;
    }
    NodePath material(const NodePath& at, int kind)
    {
        const CommandResult r = commands->addMaterial(at, kind);
        EXPECT_TRUE(r.changed) << r.message.toStdString();
        return r.select;
    }
    QStringList materialsOf(const NodePath& region) const
    {
        return model->materialNames(region.card, region.page, region.region);
    }

    QTemporaryDir dir;
    DataFolder folders;
    QDateTime now{QDate(2024, 5, 1), QTime(12, 30, 15)};
    int ticks = 0;
    std::unique_ptr<ProjectModel> model;
    SelectionState selection;
    std::unique_ptr<TreeCommands> commands;
};

} // namespace ledsign::test
