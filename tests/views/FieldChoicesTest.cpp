#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <map>

#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"
#include "views/FieldChoices.h"
#include "views/LogGridModel.h"
#include "views/LogGridSetup.h"

namespace orvanrx {
namespace {

class FieldChoicesTest : public ::testing::Test {
protected:
    void Keep(const char* value, const char* text) {
        store.SetKeyValue(kRaceLogFieldsKey, QString::fromLatin1(value), QString::fromLatin1(text),
                          ValueType::RegSz);
    }
    // The items LoadFieldChoices toggles, in its order.
    std::vector<std::string> Toggled() {
        std::vector<std::string> items;
        LoadFieldChoices(store, [&](QLatin1String item) { items.push_back(item.data()); });
        return items;
    }

    QTemporaryDir dir;
    SettingsStore store{dir.filePath(QStringLiteral("OrvanRX.ini"))};
};

TEST_F(FieldChoicesTest, OnlyTheTextOppositeToTheStartStateTogglesAnItem) {
    Keep("All Categories", "True");
    Keep("1000' MPH", "True");
    Keep("Class", "False");
    Keep("Win", "false");        // other letter case: ignored
    Keep("Margin", "True");      // already checked at start: nothing
    Keep("Reaction Time", "0");  // not a choice text
    Keep("Name", "False");       // never kept, so never read
    EXPECT_EQ(Toggled(), (std::vector<std::string>{"miAllCategories", "miClass", "miMph1000"}));
}

TEST_F(FieldChoicesTest, NothingKeptTogglesNothing) {
    EXPECT_TRUE(Toggled().empty());
}

TEST_F(FieldChoicesTest, SavedChoicesComeBackAsTheyWereLeft) {
    // The window's check marks after the user switched a few.
    std::map<std::string, bool> checks;
    for (const FieldChoice& choice : kFieldChoices) {
        checks[choice.item.data()] = choice.checkedAtStart;
    }
    checks["miAllCategories"] = true;
    checks["miMph1000"] = true;
    checks["miBump"] = false;
    checks["miName"] = false;  // lasts only while the window is open
    SaveFieldChoices(store, [&](QLatin1String item) { return checks.at(item.data()); });

    EXPECT_EQ(store.QueryValue(kRaceLogFieldsKey, QStringLiteral("Bump")), QStringLiteral("False"));
    EXPECT_EQ(store.QueryValue(kRaceLogFieldsKey, QStringLiteral("Dial")), QStringLiteral("True"));
    EXPECT_EQ(store.QueryValue(kRaceLogFieldsKey, QStringLiteral("Name")),
              QStringLiteral("No Key Value"));
    EXPECT_EQ(store.QueryValue(kRaceLogFieldsKey, QStringLiteral("Category")),
              QStringLiteral("No Key Value"));
    EXPECT_EQ(Toggled(), (std::vector<std::string>{"miAllCategories", "miBump", "miMph1000"}));
}

TEST_F(FieldChoicesTest, AppliedToAStartingGridTheyShowAndHideTheirColumns) {
    Keep("1000' MPH", "True");
    Keep("Class", "False");
    Keep("All Categories", "True");
    LogGridModel grid(LogGridFlavour::Filter);
    SetUpFilterGrid(grid);
    ApplyFieldChoices(store, grid);
    EXPECT_FALSE(grid.IsHidden(QLatin1String("mph1000")));
    EXPECT_TRUE(grid.IsHidden(QLatin1String("Class")));
    EXPECT_FALSE(grid.IsHidden(QLatin1String("Name")));
    EXPECT_TRUE(grid.IsHidden(QLatin1String("Category")));
    EXPECT_TRUE(grid.IsHidden(QLatin1String("GeneralID")));
    EXPECT_EQ(grid.GetWidth(QLatin1String("Lane")), 600);
    EXPECT_EQ(grid.GetWidth(QLatin1String("win")), 500);
    EXPECT_TRUE(grid.GroupBy().isEmpty());
}

}  // namespace
}  // namespace orvanrx
