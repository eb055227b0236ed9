#pragma once

#include <QString>

namespace orvanrx {

// One decoded race: 33 texts and two flags, every value exactly the broadcaster's text.
// L = left lane, R = right lane. A fresh record has every text empty and both flags false.
struct RunRecord {
    QString Category;
    QString ClassL, ClassR;
    QString CarL, CarR;
    QString NameL, NameR;
    QString BumpL, BumpR;
    QString DialL, DialR;
    QString RTL, RTR;
    QString et60L, et60R;
    QString et330L, et330R;
    QString et660L, et660R;
    QString mph660L, mph660R;
    QString et1000L, et1000R;
    QString mph1000L, mph1000R;  // no Packet carries it: always empty in a decoded race
    QString et1320L, et1320R;
    QString mph1320L, mph1320R;
    QString marginL, marginR;
    QString overundL, overundR;
    bool winL = false;
    bool winR = false;

    // True when the race data (BumpL through winR) are the same. The category, classes, car
    // numbers and names are not compared: a change in them alone is not a new result.
    bool SameRaceData(const RunRecord& other) const;

    friend bool operator==(const RunRecord&, const RunRecord&) = default;
};

}  // namespace orvanrx
