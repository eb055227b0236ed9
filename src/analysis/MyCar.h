#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include "decoding/RunTables.h"

// The racer's own cars: the car numbers kept in the settings (kMyCarKey, "Numbers") and the
// watch that tells when a race with one of them arrives in the run tables.
namespace orvanrx {

class SettingsStore;

// The longest car number a lane entry can carry: "L[c:" and "]" leave 15 of its 20 bytes.
inline constexpr int kMaxCarNumberLength = 15;

// A text of car numbers read item by item.
struct MyCarNumbers {
    QStringList numbers;   // in order, each once
    QStringList rejected;  // the items that cannot be a broadcast car number
};

// The car numbers in `text`: items separated by commas, semicolons or blanks. An item is a car
// number when it has at most kMaxCarNumberLength characters, all printable ASCII other than
// "[", ":" and "]" (which a lane entry uses to frame the number); letter case counts, as it
// does in the log.
MyCarNumbers ParseMyCarNumbers(QStringView text);

// The numbers as they are stored and shown: "1234, 77A".
QString MyCarNumbersText(const QStringList& numbers);

// The stored numbers. A missing value reads as none; a broken one (items that cannot be car
// numbers, separators in a row) gives the numbers it holds and leaves the rest out.
QStringList ReadMyCarNumbers(const SettingsStore& settings);
void SaveMyCarNumbers(const SettingsStore& settings, const QStringList& numbers);

// Which lanes of a race hold one of the racer's cars.
struct MyCarLanes {
    bool left = false;
    bool right = false;
    bool Any() const { return left || right; }
    friend bool operator==(const MyCarLanes&, const MyCarLanes&) = default;
};

// The racer's cars in the latest race of the log (its last pair of rows), race by race. The
// decoder writes a race's two rows as soon as its lane entries are known and rewrites them as
// the times come in; a race counts as arrived at its first write, and each of the racer's cars
// in it is reported once (a car number corrected mid-race to one of the racer's is reported
// then). A race is told apart by its place in the table and its car numbers.
class MyCarWatch {
public:
    void SetNumbers(QStringList numbers) { numbers_ = std::move(numbers); }
    const QStringList& Numbers() const { return numbers_; }
    bool IsMine(const QString& car) const;

    struct Result {
        MyCarLanes lanes;      // the racer's cars in the latest race, as it stands now
        bool arrived = false;  // one of them is in it for the first time
    };
    // After a change of the run tables.
    Result Check(const RunTable& table);
    // The log was opened or cleared: its latest race counts as seen, nothing arrives.
    void TakeAsSeen(const RunTable& table);
    // The lanes of the latest race at the last check.
    MyCarLanes Lanes() const { return lanes_; }

private:
    MyCarLanes LanesOf(const RunTable& table) const;

    QStringList numbers_;
    int pairRow_ = -1;      // the left row of the race last checked
    QStringList seenCars_;  // that race's cars of the racer's already reported
    MyCarLanes lanes_;
};

// A desktop notification's two texts.
struct MyCarAlertText {
    QString summary;
    QString body;
};

// What a notification says about the latest race for the racer's cars in `lanes`:
// "Car 1234 in the left lane" / "SUPER PRO E1 against 567 JANE ROE" (or "a bye run"); when
// both lanes are the racer's, "Cars 1234 and 567 race each other".
MyCarAlertText MyCarRaceText(const RunTable& table, MyCarLanes lanes);

}  // namespace orvanrx
