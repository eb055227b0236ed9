// The filter window: its category list, the category, round and car conditions together,
// numeric sorting, and the settings it reads but never writes.

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "decoding/RunTables.h"
#include "gui/LogGridPaint.h"
#include "gui/LogGridView.h"
#include "gui/frmFilter.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsStore.h"

using namespace orvanrx;

namespace {

struct Entry {
    const char* category;
    const char* carL;
    const char* carR;
    const char* etL;
};

}  // namespace

class frmFilterTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        dir = std::make_unique<QTemporaryDir>();
        settings = std::make_unique<SettingsStore>(dir->filePath(QStringLiteral("OrvanRX.ini")));
        tables = std::make_unique<RunTables>();
        area = std::make_unique<QMdiArea>();
        area->resize(1400, 800);
        area->show();
        // Oldest first. "PRO" is also the start of "PRO ET": a category is a prefix.
        for (const Entry& e :
             {Entry{"SUPER PRO     E1", "11", "12", "9.90"},
              Entry{"SUPER PRO     E2", "13", "11", "10.10"},
              Entry{"PRO ET        E1", "21", "", "11.5"},
              Entry{"PRO           E1", "31", "32", "x"}, Entry{"ST", "41", "42", "12.0"},
              Entry{"SUPER PRO E1", "14", "15", "9.95"}}) {
            Store(e);
        }
    }
    void cleanup() {
        area.reset();
        tables.reset();
        settings.reset();
        dir.reset();
    }

    void theCategoryListIsSortedWithoutRepeatsOrShortTexts() {
        frmFilter* filter = Open();
        QStringList names;
        for (int i = 0; i < filter->CategoryBox().count(); ++i) {
            names << filter->CategoryBox().itemText(i);
        }
        QCOMPARE(names.join(QLatin1Char('|')),
                 QStringLiteral("(All Categories)|PRO|PRO ET|SUPER PRO"));
        QCOMPARE(filter->CategoryBox().currentText(), QString());
        const QStringList rounds = frmFilter::RoundList();
        QCOMPARE(rounds.size(), 37);
        QCOMPARE(rounds.first(), QStringLiteral("All Rounds"));
        QCOMPARE(rounds.mid(1, 10).join(QLatin1Char(' ')),
                 QStringLiteral("E0 E1 E2 E3 E4 E5 E6 E7 E8 T0"));
        QCOMPARE(rounds.last(), QStringLiteral("C8"));
        QCOMPARE(filter->RoundBox().count(), 37);
    }

    void categoryRoundAndCarNarrowTheRowsTogether() {
        frmFilter* filter = Open();
        QCOMPARE(Cars(filter), QStringLiteral("14 15 41 42 31 32 21 - 13 11 11 12"));

        Choose(filter->CategoryBox(), QStringLiteral("SUPER PRO"));
        filter->cboCategory_Click();
        QCOMPARE(Cars(filter), QStringLiteral("14 15 13 11 11 12"));

        Choose(filter->RoundBox(), QStringLiteral("E1"));
        filter->cboRound_Click();
        QCOMPARE(Cars(filter), QStringLiteral("14 15 11 12"));

        filter->CarBox().setText(QStringLiteral("11"));
        filter->ApplyFilter();
        QCOMPARE(Cars(filter), QStringLiteral("11"));

        Choose(filter->RoundBox(), QStringLiteral("All Rounds"));  // the car stays in force
        filter->cboRound_Click();
        QCOMPARE(Cars(filter), QStringLiteral("11 11"));

        Choose(filter->CategoryBox(), QStringLiteral("PRO"));  // drops the car, keeps no round
        filter->cboCategory_Click();
        QCOMPARE(filter->CarBox().text(), QString());
        QCOMPARE(Cars(filter), QStringLiteral("31 32 21 -"));

        filter->ApplyFilter();  // Enter in an empty car box changes nothing
        QCOMPARE(Cars(filter), QStringLiteral("31 32 21 -"));

        // Back to every category, the round kept.
        Choose(filter->RoundBox(), QStringLiteral("E1"));
        filter->cboRound_Click();
        QCOMPARE(Cars(filter), QStringLiteral("31 32 21 -"));
        filter->CategoryBox().setCurrentIndex(0);
        QCOMPARE(filter->CategoryBox().currentText(), QStringLiteral("(All Categories)"));
        filter->cboCategory_Click();
        QCOMPARE(Cars(filter), QStringLiteral("14 15 31 32 21 - 11 12"));
        Choose(filter->RoundBox(), QStringLiteral("All Rounds"));
        filter->cboRound_Click();
        QCOMPARE(Cars(filter), QStringLiteral("14 15 41 42 31 32 21 - 13 11 11 12"));
    }

    // Every entry of the category and round boxes can be read in the closed box, and the boxes
    // stand side by side.
    void theBoxesFitTheirEntries() {
        frmFilter* filter = Open();
        QComboBox& category = filter->CategoryBox();
        QComboBox& round = filter->RoundBox();
        for (QComboBox* box : {&category, &round}) {
            QVERIFY2(box->width() >= box->sizeHint().width(), qPrintable(box->objectName()));
        }
        QVERIFY(round.geometry().left() >= category.geometry().right() - 1);
        QVERIFY(filter->CarBox().geometry().left() >= round.geometry().right() - 1);
    }

    void aHeadingClickSortsTimesAsNumbers() {
        frmFilter* filter = Open();
        QVERIFY(filter->View().isSortingEnabled());
        filter->View().sortByColumn(ColumnIndex(RunColumn::et1320), Qt::AscendingOrder);
        QStringList times;
        for (int r = 0; r < filter->Shown().rowCount(); ++r) {
            const QModelIndex cell = filter->Shown().index(r, ColumnIndex(RunColumn::et1320));
            if (cell.data().isValid()) {
                times << cell.data(LogGridModel::TextRole).toString();
            }
        }
        // 9.90 below 10.10: as numbers, not as texts; "x" is no number and holds no value.
        QCOMPARE(times.join(QLatin1Char(' ')), QStringLiteral("9.90 9.95 10.10 11.5 12.0"));
    }

    // Every heading shown reads whole at its first width, the sort mark after it included.
    void everyHeadingFitsWithItsSortMark() {
        frmFilter* filter = Open();
        LogGridView& view = filter->View();
        int checked = 0;
        for (int c = 0; c < kLogGridColumnCount; ++c) {
            if (view.isColumnHidden(c)) {
                continue;
            }
            view.sortByColumn(c, Qt::AscendingOrder);
            const QString caption =
                kLogGridColumns[static_cast<std::size_t>(c)].caption + QStringLiteral(" \u25B2");
            const QFontMetrics heading(GridFont(filter->Grid().Style(kHeadingStyle)->font));
            // The heading draws its caption 3 pixels in from each side.
            QVERIFY2(view.header()->sectionSize(c) >= heading.horizontalAdvance(caption) + 6,
                     qPrintable(caption));
            ++checked;
        }
        QVERIFY(checked >= 15);
    }

    void itOpensWhereTheRaceLogStoodAndWritesNothing() {
        settings->SetKeyValue(kRaceLogScreenSettingsKey, kLeftValue, QStringLiteral("300"),
                              ValueType::RegSz);
        settings->SetKeyValue(kRaceLogFieldsKey, QStringLiteral("Class"), QStringLiteral("False"),
                              ValueType::RegSz);
        settings->SetKeyValue(kRaceLogFieldsKey, QStringLiteral("1000' MPH"),
                              QStringLiteral("True"), ValueType::RegSz);
        const QByteArray before = Contents();
        frmFilter* filter = Open();
        QCOMPARE(Frame(filter)->x(), 20);  // 300 twips at 96 dots per inch
        QVERIFY(filter->Grid().IsHidden(QLatin1String("Class")));
        QVERIFY(!filter->Grid().IsHidden(QLatin1String("mph1000")));
        QVERIFY(filter->Grid().GroupBy().isEmpty());
        QVERIFY(filter->Grid().FormatConditions().IsEmpty());
        Frame(filter)->close();
        QVERIFY(!filter->IsOpen());
        QCOMPARE(Contents(), before);
    }

private:
    void Store(const Entry& e) {
        RunRecord race;
        race.Category = QString::fromLatin1(e.category);
        race.CarL = QString::fromLatin1(e.carL);
        race.CarR = QString::fromLatin1(e.carR);
        race.et1320L = QString::fromLatin1(e.etL);
        race.RTL = race.CarL;  // each race its own figures
        tables->StoreRun(race);
    }
    frmFilter* Open() {
        auto* filter = new frmFilter(*tables, *settings);
        QMdiSubWindow* frame = area->addSubWindow(filter);
        frame->setAttribute(Qt::WA_DeleteOnClose);
        filter->Load(*frame, 0x808080);
        frame->show();
        return filter;
    }
    static QMdiSubWindow* Frame(frmFilter* filter) {
        return qobject_cast<QMdiSubWindow*>(filter->parentWidget());
    }
    static void Choose(QComboBox& box, const QString& text) {
        box.setCurrentIndex(box.findText(text));
    }
    // The Car cells as the window shows them, top down ("-" for an empty one).
    static QString Cars(frmFilter* filter) {
        QStringList cars;
        for (int r = 0; r < filter->Shown().rowCount(); ++r) {
            const QString car =
                filter->Shown().index(r, ColumnIndex(RunColumn::Car)).data().toString();
            cars << (car.isEmpty() ? QStringLiteral("-") : car);
        }
        return cars.join(QLatin1Char(' '));
    }
    QByteArray Contents() const {
        QFile file(settings->Location());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<RunTables> tables;
    std::unique_ptr<QMdiArea> area;
};

QTEST_MAIN(frmFilterTest)
#include "frmFilterTest.moc"
