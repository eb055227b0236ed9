#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include "analysis/CarFiguresTracker.h"
#include "analysis/StatsLog.h"
#include "analysis/StatsTables.h"
#include "views/CarFiguresModel.h"

namespace orvanrx {
namespace {

using testing::AddRace;
using testing::HandMadeLog;

// The car numbers of the rows as shown, joined by blanks.
std::string Cars(const QAbstractItemModel& model) {
    QStringList cars;
    for (int r = 0; r < model.rowCount(); ++r) {
        cars << model.index(r, 0).data().toString();
    }
    return cars.join(u' ').toStdString();
}

int ColumnOf(const char* header) {
    return CarsTableColumnOf(QString::fromLatin1(header));
}

class CarFiguresModelTest : public ::testing::Test {
protected:
    void Follow(const RunTable& table) {
        tracker.Update(table);
        cars.Update(tracker.Figures());
    }

    CarFiguresTracker tracker;
    CarFiguresModel cars;
    QAbstractItemModelTester carsTester{&cars,
                                        QAbstractItemModelTester::FailureReportingMode::Fatal};
    CarFiguresFilterModel shown{cars};
    QAbstractItemModelTester shownTester{&shown,
                                         QAbstractItemModelTester::FailureReportingMode::Fatal};
};

TEST_F(CarFiguresModelTest, CellsAreTheCoresTableAndChangesReachOnlyTheirRows) {
    RunTable log = HandMadeLog();
    Follow(log);
    const TextTable expected = CarsTable(ComputeCarFigures(log));
    ASSERT_EQ(cars.rowCount(), static_cast<int>(expected.rows.size()));
    for (int r = 0; r < cars.rowCount(); ++r) {
        for (int c = 0; c < cars.columnCount(); ++c) {
            ASSERT_EQ(cars.index(r, c).data().toString(), expected.rows[std::size_t(r)][c])
                << r << " " << c;
        }
    }
    EXPECT_EQ(cars.headerData(ColumnOf("ET sd"), Qt::Horizontal, Qt::ToolTipRole).toString(),
              QStringLiteral("1/4 mile ET, standard deviation"));

    // A race of 100 against a newcomer: one row inserted in number order, one row changed.
    QSignalSpy inserted(&cars, &QAbstractItemModel::rowsInserted);
    QSignalSpy changed(&cars, &QAbstractItemModel::dataChanged);
    QSignalSpy reset(&cars, &QAbstractItemModel::modelReset);
    log.DropLastPair();  // the pair the hand-made log left open
    AddRace(log, "SUPER PRO     E4", "2026-12-05 11:00:00",
            {"150", "NEW COMER", "9.90", "0.500", "1.400", "9.950", "130.00", "", "", "W"},
            {"100", "DOE, JOHN", "9.52", "0.470", "1.300", "9.530", "140.00", "", "", ""});
    Follow(log);
    ASSERT_EQ(inserted.count(), 1);
    EXPECT_EQ(inserted[0][1].toInt(), cars.RowOf(QStringLiteral("150")));
    EXPECT_EQ(Cars(cars), "7 88 100 150 200 300 400 500");
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed[0][0].value<QModelIndex>().row(), cars.RowOf(QStringLiteral("100")));
    // From the first changed cell (runs) to the last (the next dial-in, now of one run on the
    // new day): the car number is not among them, so a view sorted by it stays put.
    EXPECT_EQ(changed[0][0].value<QModelIndex>().column(), ColumnOf("Runs"));
    EXPECT_EQ(changed[0][1].value<QModelIndex>().column(), ColumnOf("Of"));
    EXPECT_EQ(cars.index(cars.RowOf(QStringLiteral("100")), ColumnOf("Runs")).data().toString(),
              u"5");

    // A log of other cars altogether: many rows change, one reset.
    RunTable other;
    for (int n = 0; n < 40; ++n) {
        const QByteArray left = QByteArray::number(1000 + 2 * n);
        const QByteArray right = QByteArray::number(1001 + 2 * n);
        AddRace(other, "PRO           E1", "2026-12-06 10:00:00", {left.constData()},
                {right.constData()});
    }
    Follow(other);
    EXPECT_EQ(reset.count(), 1);
    EXPECT_EQ(cars.rowCount(), 80);
    EXPECT_EQ(inserted.count(), 1);
}

TEST_F(CarFiguresModelTest, HeadingsSortNumbersAsNumbersWithDashesLast) {
    Follow(HandMadeLog());
    struct Case {
        const char* column;
        Qt::SortOrder order;
        const char* cars;
    };
    const Case cases[] = {
        {"Car", Qt::AscendingOrder, "7 88 100 200 300 400 500"},
        {"Car", Qt::DescendingOrder, "500 400 300 200 100 88 7"},
        // 9.520 before 10.160: as numbers, not as texts.
        {"ET best", Qt::AscendingOrder, "88 7 300 100 200 400 500"},
        {"ET best", Qt::DescendingOrder, "500 400 200 100 300 7 88"},
        // A dash (one 60-foot time or none) after every value, whichever way; ties as before.
        {"60ft sd", Qt::AscendingOrder, "200 88 100 7 300 400 500"},
        {"60ft sd", Qt::DescendingOrder, "88 100 200 7 300 400 500"},
        {"Red", Qt::DescendingOrder, "200 7 88 100 300 400 500"},
        {"Names", Qt::AscendingOrder, "88 500 100 200 7 400 300"},
    };
    for (const Case& c : cases) {
        // Ties keep the order shown before: number order here.
        shown.sort(0, Qt::AscendingOrder);
        shown.sort(ColumnOf(c.column), c.order);
        EXPECT_EQ(Cars(shown), c.cars) << c.column << " " << c.order;
    }
}

TEST_F(CarFiguresModelTest, SearchKeepsCarsByNumberStartOrNamePart) {
    Follow(HandMadeLog());
    shown.sort(0, Qt::AscendingOrder);
    const std::pair<const char*, const char*> cases[] = {
        {"", "7 88 100 200 300 400 500"},
        {"1", "100"},
        {" 8 ", "88"},
        {"roe", "200"},
        {"o", "100 200 300 500"},  // every name with an O, letter case aside
        {"00", ""},                // not the middle of a number
        {"zz", ""},
    };
    for (const auto& [search, expected] : cases) {
        shown.SetSearch(QString::fromLatin1(search));
        EXPECT_EQ(Cars(shown), expected) << search;
    }
}

TEST_F(CarFiguresModelTest, TheRacersCarsAreMarked) {
    Follow(HandMadeLog());
    QSignalSpy changed(&cars, &QAbstractItemModel::dataChanged);
    cars.SetMyCars({QStringLiteral("88"), QStringLiteral("999")});
    EXPECT_EQ(changed.count(), 1);
    std::string marked;
    for (int r = 0; r < cars.rowCount(); ++r) {
        marked += cars.index(r, 3).data(CarFiguresModel::MyCarRole).toBool() ? "1" : "0";
    }
    EXPECT_EQ(marked, "0100000");
    cars.SetMyCars({QStringLiteral("88"), QStringLiteral("999")});
    EXPECT_EQ(changed.count(), 1);
}

}  // namespace
}  // namespace orvanrx
