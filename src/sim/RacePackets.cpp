#include "sim/RacePackets.h"

namespace orvanrx {

namespace {

// Cut or padded with blanks to exactly `width` characters.
std::string Sized(std::string text, std::size_t width) {
    text.resize(width, ' ');
    return text;
}

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// What the decoder keeps of a value area: digits, "." and "-".
std::string NumericText(const std::string& area) {
    std::string out;
    for (const char c : area) {
        if ((c >= '0' && c <= '9') || c == '.' || c == '-') {
            out += c;
        }
    }
    return out;
}

std::string EntryText(char lane, const CardLane& l) {
    return std::string(1, lane) + "[" + l.cls + ":" + l.car + "]" + l.name;
}

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

}  // namespace

RunBlockPackets RunBlockAtStage(const CardRace& race, int stage) {
    std::string number = std::to_string(race.number % 10000);
    number.insert(0, 4 - number.size(), '0');
    const auto shown = [stage](int from, const std::string& text) {
        return stage >= from ? text : std::string();
    };
    const CardLane& l = race.left;
    const CardLane& r = race.right;

    RunBlockPackets p;
    p[0] = MakePacket(std::string(1, static_cast<char>(kRunBlockPackets)) + "RUN " + number);
    p[1] = MakePacket(Sized(race.track, 16) + "#" + number);
    p[2] = MakePacket(race.category);
    p[3] = MakePacket(EntryText('L', l));
    p[4] = MakePacket(EntryText('R', r));
    p[5] = MakeValuePacket("LANE ", "LEFT", "RIGHT");
    p[6] = race.bump.empty() ? MakeValuePacket(" DIAL", shown(1, l.dial), shown(1, r.dial))
                             : MakeValuePacket(" BUMP", shown(1, race.bump), "");
    p[7] = MakeValuePacket("R/T  ", shown(2, l.rt), shown(2, r.rt));
    p[8] = MakeValuePacket("60'  ", shown(2, l.et60), shown(2, r.et60));
    p[9] = MakeValuePacket("330' ", shown(3, l.et330), shown(3, r.et330));
    p[10] = MakeValuePacket("1/8  ", shown(3, l.et660), shown(3, r.et660));
    p[11] = MakeValuePacket("MPH  ", shown(3, l.mph660), shown(3, r.mph660));
    p[12] = MakeValuePacket("1000'", shown(4, l.et1000), shown(4, r.et1000));
    p[13] = MakeValuePacket("1/4  ", shown(4, l.et1320), shown(4, r.et1320));
    p[14] = MakeValuePacket("MPH  ", shown(4, l.mph1320), shown(4, r.mph1320));
    p[15] = MakeValuePacket(race.result == ResultKind::Margin ? "MARG " : "  +/-",
                            shown(5, l.resultArea), shown(5, r.resultArea));
    return p;
}

RunRecord ExpectedRecord(const CardRace& race) {
    const CardLane& l = race.left;
    const CardLane& r = race.right;
    RunRecord rec;
    rec.Category = Q(Trimmed(race.category));
    rec.ClassL = Q(l.cls);
    rec.ClassR = Q(r.cls);
    rec.CarL = Q(l.car);
    rec.CarR = Q(r.car);
    rec.NameL = Q(Trimmed(l.name));
    rec.NameR = Q(Trimmed(r.name));
    if (race.bump.empty()) {
        rec.DialL = Q(l.dial);
        rec.DialR = Q(r.dial);
    } else {
        rec.BumpL = rec.BumpR = Q(NumericText(race.bump));
    }
    rec.RTL = Q(l.rt);
    rec.RTR = Q(r.rt);
    rec.et60L = Q(l.et60);
    rec.et60R = Q(r.et60);
    rec.et330L = Q(l.et330);
    rec.et330R = Q(r.et330);
    rec.et660L = Q(l.et660);
    rec.et660R = Q(r.et660);
    rec.mph660L = Q(l.mph660);
    rec.mph660R = Q(r.mph660);
    rec.et1000L = Q(l.et1000);
    rec.et1000R = Q(r.et1000);
    rec.et1320L = Q(l.et1320);
    rec.et1320R = Q(r.et1320);
    rec.mph1320L = Q(l.mph1320);
    rec.mph1320R = Q(r.mph1320);
    if (race.result == ResultKind::Margin) {
        // Each lane's margin is the figure in the other lane's area.
        rec.marginL = Q(NumericText(r.resultArea));
        rec.marginR = Q(NumericText(l.resultArea));
    } else {
        rec.overundL = Q(NumericText(l.resultArea));
        rec.overundR = Q(NumericText(r.resultArea));
    }
    rec.winL = race.leftWins;
    rec.winR = !race.leftWins;
    return rec;
}

}  // namespace orvanrx
