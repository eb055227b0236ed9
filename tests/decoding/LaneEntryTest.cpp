#include <gtest/gtest.h>

#include "decoding/RunDecoder.h"

namespace orvanrx {
namespace {

TEST(ParseLaneEntry, OddCases) {
    struct Case {
        const char* text;
        char lane;
        bool accepted;
        const char* cls;
        const char* car;
        const char* name;
    };
    const Case cases[] = {
        {"L[SS:1234]JOHN DOE   ", 'L', true, "SS", "1234", "JOHN DOE"},
        {"R[ SS : 1234 ]  JANE   ", 'R', true, "SS", "1234", "JANE"},
        // No colon: the first character after "L[" is dropped and Class is empty.
        {"L[1234]NAME", 'L', true, "", "234", "NAME"},
        // No closing bracket: the first character of the rest is dropped and Car is empty.
        {"L[SS:1234 NAME", 'L', true, "SS", "", "234 NAME"},
        {"L[:]", 'L', true, "", "", ""},
        {"L[", 'L', true, "", "", ""},
        {"L[SS:]", 'L', true, "SS", "", ""},
        {"L[A:B:C]D]E", 'L', true, "A", "B:C", "D]E"},
        // Wrong lane or no bracket: not an entry.
        {"R[SS:1234]X", 'L', false, "", "", ""},
        {"L[SS:1234]X", 'R', false, "", "", ""},
        {"l[SS:1234]X", 'L', false, "", "", ""},
        {" L[SS:1234]X", 'L', false, "", "", ""},
        {"L", 'L', false, "", "", ""},
        {"", 'L', false, "", "", ""},
    };
    for (const Case& c : cases) {
        const auto entry = ParseLaneEntry(QString::fromLatin1(c.text), QChar::fromLatin1(c.lane));
        ASSERT_EQ(entry.has_value(), c.accepted) << c.text;
        if (entry) {
            EXPECT_EQ(*entry, (LaneEntry{QString::fromLatin1(c.cls), QString::fromLatin1(c.car),
                                         QString::fromLatin1(c.name)}))
                << c.text;
        }
    }
}

}  // namespace
}  // namespace orvanrx
