#pragma once

#include <QJsonObject>
#include <QString>
#include <functional>

#include "analysis/MyCar.h"
#include "shell/PollLoop.h"

// What the pit view's page is told: the races of the run tables and the racer's own runs, as
// JSON messages, built once per change and sent to every phone alike.
namespace orvanrx {

class SettingsStore;

// Messages (each a JSON object with "t" naming its kind):
//   hello   the whole state, first thing to every phone and again after the log was replaced:
//           "races" (the latest kPitViewRaceCount, newest first), "mine", "cars"
//   race    one race written or rewritten: "race"; the newest race is the one being run
//   mine    the racer's cars' runs of the day with the next dial-in: "mine"
//   banner  a race with one of the racer's cars arrived: "summary", "body", "id"
// A race is {"id": its left row, "time", "category", "lanes": [left, right]}, a lane every
// figure as the broadcaster sent it ({"lane", "car", "name", "class", "bump", "dial", "rt",
// "et60", "et330", "et660", "mph660", "et1000", "mph1000", "et1320", "mph1320", "margin",
// "overund", "win", "mine"}).
inline constexpr int kPitViewRaceCount = 60;

// Follows the poll loop and passes every piece of news on to `next` (the program's own
// views) before it builds its messages.
class PitViewFeed final : public PollObserver {
public:
    using Send = std::function<void(const QString& message)>;
    PitViewFeed(PollObserver& next, const SettingsStore& settings);

    // The run tables to follow (the station's) and where messages go.
    void Attach(const RunTables& tables);
    void SetSend(Send send) { send_ = std::move(send); }

    void RunTablesChanged() override;
    void DataReplyStored() override;

    // The hello message for a phone that just connected.
    QString Greeting() const;
    // The racer's car numbers were changed: read again, phones told.
    void ReloadMyCars();

    int MessagesSent() const { return messagesSent_; }

private:
    QJsonObject RaceJson(const RunTable& table, int leftRow) const;
    QJsonObject MineJson(const RunTable& table) const;
    void Emit(const QJsonObject& message);

    PollObserver& next_;
    const SettingsStore& settings_;
    const RunTables* tables_ = nullptr;
    Send send_;
    MyCarWatch watch_;
    int lastLeft_ = -2;
    int messagesSent_ = 0;
};

}  // namespace orvanrx
