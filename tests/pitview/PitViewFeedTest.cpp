#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "analysis/MyCar.h"
#include "pitview/PitViewFeed.h"
#include "settings/SettingsStore.h"

namespace orvanrx {
namespace {

struct CountingObserver final : PollObserver {
    void RunTablesChanged() override { ++tables; }
    void DataReplyStored() override { ++replies; }
    int tables = 0;
    int replies = 0;
};

RunRecord Race(const QString& left, const QString& right, const QString& etL = {},
               bool winL = false) {
    RunRecord r;
    r.Category = QStringLiteral("SUPER PRO E1");
    r.ClassL = r.ClassR = QStringLiteral("SP");
    r.CarL = left;
    r.CarR = right;
    r.NameL = QStringLiteral("JOHN DOE");
    r.NameR = QStringLiteral("JANE ROE");
    r.DialL = QStringLiteral("9.50");
    r.et1320L = etL;
    if (winL) {
        // Win marks count once the lane's speed is in.
        r.mph1320L = QStringLiteral("140.110");
        r.mph1320R = QStringLiteral("139.020");
        r.winL = true;
    }
    return r;
}

class PitViewFeedTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        settings_ = std::make_unique<SettingsStore>(dir_.filePath(QStringLiteral("s.ini")));
        SaveMyCarNumbers(*settings_, {QStringLiteral("77")});
        tables_.ResetRunTables();
        feed_ = std::make_unique<PitViewFeed>(next_, *settings_);
        feed_->Attach(tables_);
        feed_->SetSend([this](const QString& m) {
            messages_.push_back(QJsonDocument::fromJson(m.toUtf8()).object());
        });
    }
    void Store(const RunRecord& record) {
        if (tables_.StoreRun(record)) {
            feed_->RunTablesChanged();
        }
    }
    std::vector<QJsonObject> OfKind(const char* kind) const {
        std::vector<QJsonObject> found;
        for (const QJsonObject& m : messages_) {
            if (m.value(QStringLiteral("t")).toString() == QLatin1String(kind)) {
                found.push_back(m);
            }
        }
        return found;
    }

    QTemporaryDir dir_;
    std::unique_ptr<SettingsStore> settings_;
    RunTables tables_{[] { return QDateTime(QDate(2026, 6, 1), QTime(14, 5)); }};
    CountingObserver next_;
    std::unique_ptr<PitViewFeed> feed_;
    std::vector<QJsonObject> messages_;
};

TEST_F(PitViewFeedTest, EachRaceUpdateGoesOutWithBothLanes) {
    Store(Race(QStringLiteral("12"), QStringLiteral("34")));
    Store(Race(QStringLiteral("12"), QStringLiteral("34"), QStringLiteral("9.512"), true));
    feed_->DataReplyStored();
    EXPECT_EQ(next_.tables, 2);
    EXPECT_EQ(next_.replies, 1);
    const auto races = OfKind("race");
    ASSERT_EQ(races.size(), 2U);
    const QJsonObject race = races.back().value(QStringLiteral("race")).toObject();
    EXPECT_EQ(race.value(QStringLiteral("id")).toInt(), 0);
    EXPECT_EQ(race.value(QStringLiteral("time")).toString(), QStringLiteral("14:05"));
    const QJsonArray lanes = race.value(QStringLiteral("lanes")).toArray();
    ASSERT_EQ(lanes.size(), 2);
    EXPECT_EQ(lanes[0].toObject().value(QStringLiteral("car")).toString(), QStringLiteral("12"));
    EXPECT_EQ(lanes[0].toObject().value(QStringLiteral("et1320")).toString(),
              QStringLiteral("9.512"));
    EXPECT_TRUE(lanes[0].toObject().value(QStringLiteral("win")).toBool());
    EXPECT_FALSE(lanes[1].toObject().value(QStringLiteral("win")).toBool());
    EXPECT_TRUE(OfKind("banner").empty());
    EXPECT_TRUE(OfKind("mine").empty());
}

TEST_F(PitViewFeedTest, AMyCarRaceBringsOneBannerAndTheDialIn) {
    Store(Race(QStringLiteral("77"), QStringLiteral("34"), QStringLiteral("9.500")));
    Store(Race(QStringLiteral("56"), QStringLiteral("34"), QStringLiteral("9.100")));
    Store(Race(QStringLiteral("77"), QStringLiteral("90")));
    Store(Race(QStringLiteral("77"), QStringLiteral("90"), QStringLiteral("9.540")));
    const auto banners = OfKind("banner");
    ASSERT_EQ(banners.size(), 2U);  // once per race, not per rewrite
    EXPECT_TRUE(banners[1].value(QStringLiteral("summary")).toString().contains(u"77"));
    EXPECT_EQ(banners[1].value(QStringLiteral("id")).toInt(), 4);
    const QJsonObject car =
        OfKind("mine").back().value(QStringLiteral("cars")).toArray()[0].toObject();
    EXPECT_EQ(car.value(QStringLiteral("car")).toString(), QStringLiteral("77"));
    EXPECT_EQ(car.value(QStringLiteral("runs")).toArray().size(), 2);
    const QJsonObject next = car.value(QStringLiteral("next")).toObject();
    EXPECT_EQ(next.value(QStringLiteral("dial")).toString(), QStringLiteral("9.520"));
    EXPECT_EQ(next.value(QStringLiteral("spread")).toString(), QStringLiteral("0.040"));
    EXPECT_EQ(next.value(QStringLiteral("basis")).toInt(), 2);
    // The race of another car is no banner; its lanes are not marked as the racer's.
    const QJsonObject other = OfKind("race")[1].value(QStringLiteral("race")).toObject();
    EXPECT_FALSE(other.value(QStringLiteral("lanes"))
                     .toArray()[0]
                     .toObject()
                     .value(QStringLiteral("mine"))
                     .toBool());
}

TEST_F(PitViewFeedTest, GreetingHoldsTheLatestRacesNewestFirst) {
    for (int i = 0; i < kPitViewRaceCount + 5; ++i) {
        Store(
            Race(QString::number(100 + i), QStringLiteral("1"), QString::number(9.0 + i / 1000.0)));
    }
    const QJsonObject hello = QJsonDocument::fromJson(feed_->Greeting().toUtf8()).object();
    const QJsonArray races = hello.value(QStringLiteral("races")).toArray();
    ASSERT_EQ(races.size(), kPitViewRaceCount);
    EXPECT_EQ(races[0]
                  .toObject()
                  .value(QStringLiteral("lanes"))
                  .toArray()[0]
                  .toObject()
                  .value(QStringLiteral("car"))
                  .toString(),
              QString::number(100 + kPitViewRaceCount + 4));
    // A cleared log: every phone starts over.
    messages_.clear();
    tables_.ResetRunTables();
    Store(Race(QStringLiteral("5"), QStringLiteral("6")));
    ASSERT_FALSE(OfKind("hello").empty());
    EXPECT_EQ(OfKind("hello")[0].value(QStringLiteral("races")).toArray().size(), 1);
}

}  // namespace
}  // namespace orvanrx
