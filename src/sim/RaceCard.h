#pragma once

#include <cstdint>
#include <deque>
#include <set>
#include <string>
#include <vector>

#include "sim/RaceDayRandom.h"

// The races of a simulated day at the strip: who runs in which category and round, and every
// figure the timing system shows for each race. Every figure is written long enough to count
// for the decoder (dial-ins and bumps at least 4 characters, every other figure at least 5),
// so a finished race always decodes in full.
namespace orvanrx {

// One lane of a race, each figure as the timing system shows it.
struct CardLane {
    std::string cls;   // class code, e.g. "SP"
    std::string car;   // car number, e.g. "1234" or "77A"
    std::string name;  // driver name, cut to what fits the entry Packet
    std::string dial;  // dial-in ("9.50"); empty in heads-up categories
    std::string rt, et60, et330, et660, mph660, et1000, et1320, mph1320;
    std::string resultArea;  // this lane's area of the result Packet, e.g. "W 0.0123"
};

// What the result Packet carries, the winner's area starting with the win mark "W":
// - Margin ("M" at byte 0): the gap between the two cars at the finish line, positive in the
//   winner's area ("W 0.0123") and negative in the loser's ("-0.0123"). The PC reads margins
//   crosswise, so the loser's row shows the positive figure and the winner's the negative.
// - OverUnder ("+" at byte 2): each area holds its own lane's time minus its dial-in, with its
//   sign ("+0.012", "-0.034"; the PC keeps the minus and drops the plus). Bracket time runs.
enum class ResultKind { Margin, OverUnder };

struct CardRace {
    int number = 0;        // race number of the day, from 1
    std::string track;     // track name shown in Packet 1
    std::string category;  // 16 characters, the two-character round code last ("SUPER PRO     E1")
    CardLane left;
    CardLane right;
    std::string bump;  // heads-up categories: the bump spot; empty when dial-ins are shown
    ResultKind result = ResultKind::Margin;
    bool leftWins = true;
};

// The day's program: a few categories with their fields, time runs or qualifying rounds, then
// elimination ladders until each category has its winner; when a program is over the next one
// starts. Two races in a row never have the same left-lane car number.
struct RaceClass;  // a class of car at the strip (the table is in RaceCard.cpp)

class RaceCard {
public:
    explicit RaceCard(RaceDayRandom& random);

    CardRace Next();

private:
    struct Entrant {
        std::string car;
        std::string name;
        int baseEt = 0;  // what the car runs, 1/10000 s
        int dial = 0;    // bracket classes: the driver's usual dial-in, 1/100 s
        int bestEt = 0;  // heads-up classes: best time shown so far, 1/1000 s (0: none)
    };
    struct Field {
        const RaceClass* raceClass = nullptr;
        std::vector<Entrant> entrants;
        std::vector<std::size_t> alive;  // entrants still in the eliminations, ladder order
    };

    void StartProgram();
    void PlanRound();
    void RunRound(Field& field, const std::string& round, bool elimination);
    CardRace RunRace(Field& field, std::size_t left, std::size_t right, const std::string& round);
    Entrant NewEntrant(const RaceClass& raceClass);

    RaceDayRandom& random_;
    std::string track_;
    std::vector<Field> fields_;
    // The rounds still to run in this program, as (field index, round code).
    std::deque<std::pair<std::size_t, std::string>> rounds_;
    std::deque<CardRace> planned_;
    std::set<std::string> carNumbers_;
    std::string lastLeftCar_;
    int raceNumber_ = 0;
};

}  // namespace orvanrx
