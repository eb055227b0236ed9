#include "sim/RaceCard.h"

#include <algorithm>
#include <utility>

namespace orvanrx {

struct RaceClass {
    const char* category;   // category name, at most 13 characters
    const char* classCode;  // class code in the entry Packets
    bool headsUp;           // heads-up (qualifying, bump spot) rather than bracket (dial-ins)
    int etLow, etHigh;      // the class's quarter-mile times, 1/100 s
};

namespace {

const RaceClass kRaceClasses[] = {
    {"SUPER PRO", "SP", false, 840, 940},    {"PRO ET", "PRO", false, 950, 1250},
    {"SPORTSMAN", "SPT", false, 1100, 1450}, {"STREET", "ST", false, 1250, 1650},
    {"MOTORCYCLE", "MC", false, 850, 1150},  {"SUPER GAS", "SG", false, 990, 1010},
    {"TOP SPORTSMAN", "TS", true, 700, 790}, {"PRO MOD", "PM", true, 590, 640},
    {"NOSTALGIA", "NSG", true, 760, 880},    {"TOP DRAGSTER", "TD", true, 620, 700},
};

const std::vector<std::string> kFirstNames = {
    "JOHN",  "MARIA", "DAVE",  "KIM",  "RAY",   "TINA", "LUIS", "ANNA", "BOB",  "CARLA",
    "EARL",  "FAYE",  "GREG",  "HANK", "IRMA",  "JACK", "KATE", "LEON", "MIKE", "NORA",
    "OSCAR", "PAM",   "QUINN", "ROSA", "STEVE", "TOM",  "VERA", "WADE", "ZOE",  "DALE",
};
const std::vector<std::string> kLastNames = {
    "SMITH",  "JOHNSON",  "GARCIA", "MILLER", "DAVIS",    "LOPEZ",    "WILSON",  "MOORE",
    "TAYLOR", "ANDERSON", "THOMAS", "MARTIN", "JACKSON",  "WHITE",    "HARRIS",  "CLARK",
    "LEWIS",  "WALKER",   "HALL",   "ALLEN",  "YOUNG",    "KING",     "WRIGHT",  "SCOTT",
    "GREEN",  "BAKER",    "NELSON", "HILL",   "CAMPBELL", "MITCHELL", "ROBERTS", "OKAFOR",
};
const std::vector<std::string> kTracks = {
    "ORVAN RACEWAY", "MILL CREEK DRWY", "RED ROCK RACEWAY", "LAKESIDE DRAGWAY", "PINE VALLEY DRAG",
};

// An entry Packet holds 21 characters: "L[", class, ":", car number, "]", name.
constexpr std::size_t kEntryLength = 21;

// `value` in units of 10^-decimals, as text: (9512, 3) gives "9.512", (-12, 3) "-0.012".
std::string Fixed(long long value, int decimals) {
    long long scale = 1;
    for (int i = 0; i < decimals; ++i) {
        scale *= 10;
    }
    const bool negative = value < 0;
    const long long magnitude = negative ? -value : value;
    std::string fraction = std::to_string(magnitude % scale);
    fraction.insert(0, static_cast<std::size_t>(decimals) - fraction.size(), '0');
    std::string text = negative ? "-" : "";
    text += std::to_string(magnitude / scale);
    text += '.';
    text += fraction;
    return text;
}

// Cut or padded with blanks to exactly `width` characters.
std::string Sized(std::string text, std::size_t width) {
    text.resize(width, ' ');
    return text;
}

// One lane's run, in the units the timing system measures.
struct Run {
    int rtMs = 0;          // reaction time, 1/1000 s (negative: red light)
    int etTicks = 0;       // quarter-mile time, 1/10000 s
    int dial = 0;          // dial-in, 1/100 s (0 in heads-up)
    long long finish = 0;  // when the car crossed the finish line, 1/10000 s after the first start

    int ShownEtMs() const { return etTicks / 10; }
    // How far the car ran under its dial-in, 1/1000 s (positive: a breakout).
    int Under() const { return dial * 10 - ShownEtMs(); }
};

bool LeftWins(const Run& l, const Run& r, bool bracket) {
    const bool redL = l.rtMs < 0;
    const bool redR = r.rtMs < 0;
    if (redL != redR) {
        return redR;
    }
    if (redL) {
        return l.rtMs >= r.rtMs;  // the later of two red lights wins
    }
    if (bracket) {
        const bool outL = l.Under() > 0;
        const bool outR = r.Under() > 0;
        if (outL != outR) {
            return outR;
        }
        if (outL) {
            return l.Under() <= r.Under();  // the smaller breakout wins
        }
    }
    return l.finish <= r.finish;
}

}  // namespace

// --- The day's program --------------------------------------------------------------------

RaceCard::RaceCard(RaceDayRandom& random) : random_(random), track_(random.Pick(kTracks)) {}

CardRace RaceCard::Next() {
    while (planned_.empty()) {
        PlanRound();
    }
    CardRace race = std::move(planned_.front());
    planned_.pop_front();
    return race;
}

void RaceCard::StartProgram() {
    fields_.clear();
    carNumbers_.clear();
    std::vector<const RaceClass*> classes;
    for (const RaceClass& c : kRaceClasses) {
        classes.push_back(&c);
    }
    random_.Shuffle(classes);
    classes.resize(static_cast<std::size_t>(random_.Between(3, 4)));

    std::vector<int> qualifyingRounds;
    for (const RaceClass* c : classes) {
        Field field;
        field.raceClass = c;
        const auto size = static_cast<std::size_t>(2 * random_.Between(2, 4));
        for (std::size_t i = 0; i < size; ++i) {
            field.entrants.push_back(NewEntrant(*c));
            field.alive.push_back(i);
        }
        random_.Shuffle(field.alive);
        fields_.push_back(std::move(field));
        qualifyingRounds.push_back(c->headsUp ? static_cast<int>(random_.Between(1, 2)) : 1);
    }

    // Time runs or qualifying, category by category, then the elimination ladders round by
    // round; an odd number left in a ladder gives the last car a bye.
    for (int q = 1; q <= 2; ++q) {
        for (std::size_t i = 0; i < fields_.size(); ++i) {
            if (q <= qualifyingRounds[i]) {
                const char kind = fields_[i].raceClass->headsUp ? 'Q' : 'T';
                rounds_.emplace_back(i, std::string(1, kind) + std::to_string(q));
            }
        }
    }
    std::vector<std::size_t> left;
    for (const Field& f : fields_) {
        left.push_back(f.alive.size());
    }
    for (int e = 1; e <= 9; ++e) {
        for (std::size_t i = 0; i < fields_.size(); ++i) {
            if (left[i] >= 2) {
                std::string round = "E";
                round += std::to_string(e);
                rounds_.emplace_back(i, round);
                left[i] = (left[i] + 1) / 2;
            }
        }
    }
}

void RaceCard::PlanRound() {
    if (rounds_.empty()) {
        StartProgram();
    }
    const auto [index, round] = rounds_.front();
    rounds_.pop_front();
    RunRound(fields_[index], round, round[0] == 'E');
}

void RaceCard::RunRound(Field& field, const std::string& round, bool elimination) {
    std::vector<std::size_t> order = field.alive;
    if (!elimination) {
        order.clear();
        for (std::size_t i = 0; i < field.entrants.size(); ++i) {
            order.push_back(i);
        }
        random_.Shuffle(order);
    }
    std::vector<std::size_t> winners;
    for (std::size_t k = 0; k + 1 < order.size(); k += 2) {
        std::size_t a = order[k];
        std::size_t b = order[k + 1];
        // Lanes by the toss of a coin, but a car never follows itself in the left lane: the
        // PC would take the two races for one.
        if (random_.Chance(0.5)) {
            std::swap(a, b);
        }
        if (field.entrants[a].car == lastLeftCar_) {
            std::swap(a, b);
        }
        CardRace race = RunRace(field, a, b, round);
        lastLeftCar_ = race.left.car;
        winners.push_back(race.leftWins ? a : b);
        planned_.push_back(std::move(race));
    }
    if (order.size() % 2 == 1) {
        winners.push_back(order.back());
    }
    if (elimination) {
        field.alive = winners;
    }
}

RaceCard::Entrant RaceCard::NewEntrant(const RaceClass& raceClass) {
    Entrant e;
    do {
        const bool fourDigits = random_.Chance(0.2);
        e.car = std::to_string(fourDigits ? random_.Between(1000, 9999) : random_.Between(1, 999));
        if (random_.Chance(0.1)) {
            e.car += static_cast<char>('A' + random_.Between(0, 25));
        }
    } while (!carNumbers_.insert(e.car).second);

    const std::string first = random_.Pick(kFirstNames);
    const std::string last = random_.Pick(kLastNames);
    const std::size_t room =
        kEntryLength - (2 + std::string(raceClass.classCode).size() + 1 + e.car.size() + 1);
    e.name = first + " " + last;
    if (e.name.size() > room) {
        e.name = first.substr(0, 1) + " " + last;
    }
    e.name = e.name.substr(0, room);

    e.baseEt = static_cast<int>(random_.Between(raceClass.etLow * 100, raceClass.etHigh * 100));
    e.dial = static_cast<int>((e.baseEt + random_.Between(-100, 300)) / 100);
    return e;
}

CardRace RaceCard::RunRace(Field& field, std::size_t left, std::size_t right,
                           const std::string& round) {
    const RaceClass& rc = *field.raceClass;
    CardRace race;
    race.number = ++raceNumber_;
    race.track = track_;
    race.category = Sized(rc.category, 14) + round;

    if (rc.headsUp) {
        // The bump spot: the slowest time that would still make the top half of the field.
        std::vector<int> bests;
        for (const Entrant& e : field.entrants) {
            if (e.bestEt > 0) {
                bests.push_back(e.bestEt);
            }
        }
        std::sort(bests.begin(), bests.end());
        const std::size_t spots = field.entrants.size() / 2;
        const int bump = bests.empty()           ? rc.etHigh * 10
                         : bests.size() >= spots ? bests[spots - 1]
                                                 : bests.back();
        race.bump = Fixed(bump, 3);
    }
    race.result = (!rc.headsUp && round[0] == 'T') ? ResultKind::OverUnder : ResultKind::Margin;

    const auto makeRun = [&](const Entrant& e) {
        Run run;
        run.dial = rc.headsUp ? 0 : e.dial + static_cast<int>(random_.Between(-3, 3));
        if (random_.Chance(0.04)) {
            run.rtMs = -static_cast<int>(random_.Between(1, 40));
        } else {
            run.rtMs =
                static_cast<int>(rc.headsUp ? random_.Between(20, 150) : random_.Between(400, 620));
        }
        run.etTicks = e.baseEt + static_cast<int>(random_.Between(rc.headsUp ? -300 : -400, 900));
        return run;
    };
    Run runs[2] = {makeRun(field.entrants[left]), makeRun(field.entrants[right])};
    const int firstDial = std::max(runs[0].dial, runs[1].dial);
    for (Run& run : runs) {
        // On a handicap start the car with the slower dial-in leaves first.
        run.finish = (firstDial - run.dial) * 100LL + run.rtMs * 10LL + run.etTicks;
    }
    race.leftWins = LeftWins(runs[0], runs[1], !rc.headsUp);
    const long long margin =
        std::min<long long>(runs[0].finish > runs[1].finish ? runs[0].finish - runs[1].finish
                                                            : runs[1].finish - runs[0].finish,
                            99999);

    const auto fill = [&](CardLane& lane, Entrant& e, const Run& run, bool wins) {
        lane.cls = rc.classCode;
        lane.car = e.car;
        lane.name = e.name;
        lane.dial = rc.headsUp ? std::string() : Fixed(run.dial, 2);
        lane.rt = Fixed(run.rtMs, 3);
        const auto split = [&](int lowPerMille, int highPerMille) {
            const long long perMille = random_.Between(lowPerMille, highPerMille);
            return Fixed(run.etTicks * perMille / 10000, 3);
        };
        lane.et60 = split(136, 150);
        lane.et330 = split(383, 398);
        lane.et660 = split(620, 632);
        lane.et1000 = split(810, 822);
        lane.et1320 = Fixed(run.ShownEtMs(), 3);
        const long long mph = 1363000000LL / run.etTicks + random_.Between(-150, 150);
        lane.mph1320 = Fixed(mph, 2);
        lane.mph660 = Fixed(mph * random_.Between(780, 800) / 1000, 2);

        std::string result;
        if (race.result == ResultKind::Margin) {
            result = Fixed(wins ? margin : -margin, 4);
        } else {
            const int ou = -run.Under();
            result = Fixed(ou, 3);
            if (ou >= 0) {
                result.insert(result.begin(), '+');
            }
        }
        lane.resultArea = wins ? "W " : "";
        lane.resultArea += result;

        if (rc.headsUp && (e.bestEt == 0 || run.ShownEtMs() < e.bestEt)) {
            e.bestEt = run.ShownEtMs();
        }
    };
    fill(race.left, field.entrants[left], runs[0], race.leftWins);
    fill(race.right, field.entrants[right], runs[1], !race.leftWins);
    return race;
}

}  // namespace orvanrx
