#include <gtest/gtest.h>

#include "TestRace.h"
#include "decoding/RunDecoder.h"

namespace orvanrx {
namespace {

using testing::TestRace;

constexpr std::int16_t kH = 1000;

std::optional<RunRecord> Decode(const TestRace& race, std::int16_t h = kH) {
    ReceiveBuffer buffer;
    race.WriteTo(buffer, h);
    return DecodeRunRecord(buffer);
}

QString L1(const char* s) {
    return QString::fromLatin1(s);
}

TEST(DecodeRunRecord, FullRaceFillsEveryFieldButThe1000FootSpeed) {
    // Margins are crosswise; the win mark is in the left area.
    // clang-format off
    const RunRecord expected{
        .Category = L1("SUPER PRO     E1"),
        .ClassL = L1("SP"),        .ClassR = L1("SP"),
        .CarL = L1("1234"),        .CarR = L1("567"),
        .NameL = L1("JOHN DOE"),   .NameR = L1("JANE ROE"),
        .BumpL = {},               .BumpR = {},
        .DialL = L1("9.50"),       .DialR = L1("10.25"),
        .RTL = L1("0.512"),        .RTR = L1("0.498"),
        .et60L = L1("1.312"),      .et60R = L1("1.298"),
        .et330L = L1("3.612"),     .et330R = L1("3.598"),
        .et660L = L1("5.912"),     .et660R = L1("5.898"),
        .mph660L = L1("112.34"),   .mph660R = L1("113.01"),
        .et1000L = L1("7.712"),    .et1000R = L1("7.698"),
        .mph1000L = {},            .mph1000R = {},
        .et1320L = L1("9.512"),    .et1320R = L1("10.268"),
        .mph1320L = L1("140.11"),  .mph1320R = L1("131.22"),
        .marginL = L1("0.0456"),   .marginR = L1("0.0123"),
        .overundL = {},            .overundR = {},
        .winL = true};
    // clang-format on
    EXPECT_EQ(Decode(TestRace{}), expected);
}

TEST(DecodeRunRecord, NoRunWithoutCategoryEntryOrCarNumber) {
    struct Case {
        const char* what;
        TestRace race;
    };
    const Case cases[] = {
        {"blank category", TestRace{}.Set(2, MakePacket("                "))},
        {"category fails checksum", TestRace{}.Corrupt(2)},
        {"left entry of the wrong lane", TestRace{}.Set(3, MakePacket("R[SP:1234]JOHN"))},
        {"right entry without bracket", TestRace{}.Set(4, MakePacket("R SP:567 JANE"))},
        {"no car number in either lane",
         TestRace{}.Set(3, MakePacket("L[SP:]JOHN")).Set(4, MakePacket("R[SP:]JANE"))},
        {"both entries fail checksum", TestRace{}.Corrupt(3).Corrupt(4)},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(Decode(c.race)) << c.what;
    }
}

TEST(DecodeRunRecord, CategoryIsTrimmedAndFilteredToPrintable) {
    const auto r = Decode(TestRace{}.Set(2, MakePacket("  PRO\x01\x0D\x0A"
                                                       "ET  Q2   XXXXXXX")));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->Category, L1("PROET  Q2"));  // bytes 16.. are not part of the category
}

// The fields Packet k fills, joined with "|": the dial-ins and bumps (6), the reaction times
// (7), or the margins, over/unders and win marks (15).
std::string Fields(int k, const RunRecord& r) {
    QStringList f;
    if (k == 6) {
        f = {r.DialL, r.DialR, r.BumpL, r.BumpR};
    } else if (k == 7) {
        f = {r.RTL, r.RTR};
    } else {
        f = {r.marginL, r.marginR, r.overundL, r.overundR,
             L1(r.winL ? "W" : "-") + L1(r.winR ? "W" : "-")};
    }
    return f.join(u'|').toStdString();
}

TEST(DecodeRunRecord, ValueAreasDialInsBumpsMarginsAndWinMarks) {
    struct Case {
        const char* what;
        int k;
        PacketBytes packet;
        const char* fields;
    };
    const Case cases[] = {
        {"blanks around", 7, MakeValuePacket("RT   ", "  0.5  ", "0.498"), "|0.498"},
        {"letters dropped", 7, MakeValuePacket("RT   ", "0.5x12", "RED"), "0.512|"},
        {"minus survives", 7, MakeValuePacket("RT   ", "-0.012", "-.0123"), "-0.012|-.0123"},
        {"four characters is too short", 7, MakeValuePacket("RT   ", ".512", "0.49"), "|"},
        {"exactly five", 7, MakeValuePacket("RT   ", "0.512", "00000"), "0.512|00000"},
        {"eight digits", 7, MakeValuePacket("RT   ", "12345678", "1.2.3.4."), "12345678|1.2.3.4."},
        {"dial-ins", 6, MakeValuePacket(" D   ", "9.50", "10.25"), "9.50|10.25||"},
        {"three-character dial is dropped", 6, MakeValuePacket(" D   ", "9.5", "8.90"), "|8.90||"},
        {"bump joins both areas", 6, MakePacket(" B   12.345          "), "||12.345|12.345"},
        {"bump too short", 6, MakeValuePacket(" B   ", "12", "3"), "|||"},
        {"bump joined across the areas", 6, MakeValuePacket(" B   ", "12", "3.4"), "||123.4|123.4"},
        {"other label", 6, MakeValuePacket(" X   ", "9.50", "10.25"), "|||"},
        {"margin crosswise", 15, MakeValuePacket("M    ", "0.0123", "0.0456"),
         "0.0456|0.0123|||--"},
        {"over/under straight, plus dropped", 15, MakeValuePacket("  +  ", "+0.012", "-0.012"),
         "||0.012|-0.012|--"},
        {"margin wins over plus", 15, MakeValuePacket("M +  ", "0.0123", "0.0456"),
         "0.0456|0.0123|||--"},
        {"left win", 15, MakePacket("M    W 10.123  10.456"), "10.456|10.123|||W-"},
        {"right win lower case", 15, MakeValuePacket("M    ", "10.123", "w10.456"),
         "10.456|10.123|||-W"},
        {"a mark in each area", 15, MakeValuePacket("M    ", "W", "W"), "||||WW"},
        {"two marks are not a win", 15, MakeValuePacket("M    ", "WW", ""), "||||--"},
    };
    for (const Case& c : cases) {
        const auto r = Decode(TestRace{}.Set(c.k, c.packet));
        ASSERT_TRUE(r) << c.what;
        EXPECT_EQ(Fields(c.k, *r), c.fields) << c.what;
    }
}

TEST(DecodeRunRecord, InvalidPacketsLeaveTheirFieldsEmptyAndUnusedPacketsNeverMatter) {
    const auto r = Decode(TestRace{}.Corrupt(3).Corrupt(6).Corrupt(8).Corrupt(15));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->CarL + r->NameL, QString());  // the invalid entry empties only its lane
    EXPECT_EQ(r->CarR, L1("567"));
    EXPECT_EQ(Fields(6, *r), "|||");
    EXPECT_EQ(r->et60L + r->et60R, QString());
    EXPECT_EQ(r->et330L, L1("3.612"));
    EXPECT_EQ(Fields(15, *r), "||||--");

    TestRace race;
    race.packets[0].fill(0xAA);  // the header
    race.packets[1].fill(0x55);
    race.packets[5].fill(0x00);
    EXPECT_EQ(Decode(race), Decode(TestRace{}));
}

TEST(DecodeRunRecord, RunBlockMustFitTheMirror) {
    // At H = 0 the header Packet overlaps the pointer itself; bytes 2..3 must then read 0.
    TestRace atZero;
    atZero.packets[0][2] = 0;
    atZero.packets[0][3] = 0;
    EXPECT_TRUE(Decode(atZero, 0));
    EXPECT_TRUE(Decode(TestRace{}, 32385));  // Packet 15 ends at 32768

    ReceiveBuffer buffer;
    TestRace{}.WriteTo(buffer, 32385);
    WriteRunBlockPointer(buffer, 32386);
    EXPECT_FALSE(DecodeRunRecord(buffer));
    WriteRunBlockPointer(buffer, -48);
    EXPECT_FALSE(DecodeRunRecord(buffer));
    WriteRunBlockPointer(buffer, -32768);
    EXPECT_FALSE(DecodeRunRecord(buffer));
}

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
        const auto entry = ParseLaneEntry(L1(c.text), QChar::fromLatin1(c.lane));
        ASSERT_EQ(entry.has_value(), c.accepted) << c.text;
        if (entry) {
            EXPECT_EQ(*entry, (LaneEntry{L1(c.cls), L1(c.car), L1(c.name)})) << c.text;
        }
    }
}

}  // namespace
}  // namespace orvanrx
