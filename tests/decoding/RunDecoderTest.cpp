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
    const auto r = Decode(TestRace{});
    ASSERT_TRUE(r);
    EXPECT_EQ(r->Category, L1("SUPER PRO     E1"));
    EXPECT_EQ(r->ClassL, L1("SP"));
    EXPECT_EQ(r->CarL, L1("1234"));
    EXPECT_EQ(r->NameL, L1("JOHN DOE"));
    EXPECT_EQ(r->ClassR, L1("SP"));
    EXPECT_EQ(r->CarR, L1("567"));
    EXPECT_EQ(r->NameR, L1("JANE ROE"));
    EXPECT_EQ(r->DialL, L1("9.50"));
    EXPECT_EQ(r->DialR, L1("10.25"));
    EXPECT_TRUE(r->BumpL.isEmpty());
    EXPECT_EQ(r->RTL, L1("0.512"));
    EXPECT_EQ(r->RTR, L1("0.498"));
    EXPECT_EQ(r->et60L, L1("1.312"));
    EXPECT_EQ(r->et330R, L1("3.598"));
    EXPECT_EQ(r->et660L, L1("5.912"));
    EXPECT_EQ(r->mph660R, L1("113.01"));
    EXPECT_EQ(r->et1000L, L1("7.712"));
    EXPECT_EQ(r->et1320R, L1("10.268"));
    EXPECT_EQ(r->mph1320L, L1("140.11"));
    EXPECT_TRUE(r->mph1000L.isEmpty());
    EXPECT_TRUE(r->mph1000R.isEmpty());
    // Margins are crosswise.
    EXPECT_EQ(r->marginL, L1("0.0456"));
    EXPECT_EQ(r->marginR, L1("0.0123"));
    EXPECT_TRUE(r->overundL.isEmpty());
    EXPECT_TRUE(r->winL);
    EXPECT_FALSE(r->winR);
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

TEST(DecodeRunRecord, InvalidEntryPacketOnlyEmptiesThatLane) {
    const auto r = Decode(TestRace{}.Corrupt(3));
    ASSERT_TRUE(r);
    EXPECT_TRUE(r->CarL.isEmpty());
    EXPECT_TRUE(r->NameL.isEmpty());
    EXPECT_EQ(r->CarR, L1("567"));
}

TEST(DecodeRunRecord, CategoryIsTrimmedAndFilteredToPrintable) {
    const auto r = Decode(TestRace{}.Set(2, MakePacket("  PRO\x01\x0D\x0A"
                                                       "ET  Q2   XXXXXXX")));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->Category, L1("PROET  Q2"));  // bytes 16.. are not part of the category
}

TEST(DecodeRunRecord, ValueAreasKeepOnlyDigitsPointAndMinus) {
    struct Case {
        const char* what;
        PacketBytes packet;
        const char* left;
        const char* right;
    };
    const Case cases[] = {
        {"blanks around", MakeValuePacket("RT   ", "  0.5  ", "0.498"), "", "0.498"},
        {"letters dropped", MakeValuePacket("RT   ", "0.5x12", "RED"), "0.512", ""},
        {"minus survives", MakeValuePacket("RT   ", "-0.012", "-.0123"), "-0.012", "-.0123"},
        {"four characters is too short", MakeValuePacket("RT   ", ".512", "0.49"), "", ""},
        {"exactly five", MakeValuePacket("RT   ", "0.512", "00000"), "0.512", "00000"},
        {"eight digits", MakeValuePacket("RT   ", "12345678", "1.2.3.4."), "12345678", "1.2.3.4."},
    };
    for (const Case& c : cases) {
        const auto r = Decode(TestRace{}.Set(7, c.packet));
        ASSERT_TRUE(r) << c.what;
        EXPECT_EQ(r->RTL, L1(c.left)) << c.what;
        EXPECT_EQ(r->RTR, L1(c.right)) << c.what;
    }
}

TEST(DecodeRunRecord, DialInAndBump) {
    struct Case {
        const char* what;
        PacketBytes packet;
        const char* dialL;
        const char* dialR;
        const char* bump;
    };
    const Case cases[] = {
        {"dial-ins", MakeValuePacket(" D   ", "9.50", "10.25"), "9.50", "10.25", ""},
        {"three-character dial is dropped", MakeValuePacket(" D   ", "9.5", "8.90"), "", "8.90",
         ""},
        {"bump joins both areas", MakePacket(" B   12.345          "), "", "", "12.345"},
        {"bump too short", MakeValuePacket(" B   ", "12", "3"), "", "", ""},
        {"bump joined across the areas", MakeValuePacket(" B   ", "12", "3.4"), "", "", "123.4"},
        {"other label", MakeValuePacket(" X   ", "9.50", "10.25"), "", "", ""},
    };
    for (const Case& c : cases) {
        const auto r = Decode(TestRace{}.Set(6, c.packet));
        ASSERT_TRUE(r) << c.what;
        EXPECT_EQ(r->DialL, L1(c.dialL)) << c.what;
        EXPECT_EQ(r->DialR, L1(c.dialR)) << c.what;
        EXPECT_EQ(r->BumpL, L1(c.bump)) << c.what;
        EXPECT_EQ(r->BumpR, L1(c.bump)) << c.what;
    }
}

TEST(DecodeRunRecord, ResultPacketMarginOverUnderAndWinMarks) {
    struct Case {
        const char* what;
        PacketBytes packet;
        const char* marginL;
        const char* marginR;
        const char* overundL;
        const char* overundR;
        bool winL;
        bool winR;
    };
    const Case cases[] = {
        {"margin crosswise", MakeValuePacket("M    ", "0.0123", "0.0456"), "0.0456", "0.0123", "",
         "", false, false},
        {"over/under straight, plus dropped", MakeValuePacket("  +  ", "+0.012", "-0.012"), "", "",
         "0.012", "-0.012", false, false},
        {"margin wins over plus", MakeValuePacket("M +  ", "0.0123", "0.0456"), "0.0456", "0.0123",
         "", "", false, false},
        {"left win", MakePacket("M    W 10.123  10.456"), "10.456", "10.123", "", "", true, false},
        {"right win lower case", MakeValuePacket("M    ", "10.123", "w10.456"), "10.456", "10.123",
         "", "", false, true},
        {"a mark in each area", MakeValuePacket("M    ", "W", "W"), "", "", "", "", true, true},
        {"two marks are not a win", MakeValuePacket("M    ", "WW", ""), "", "", "", "", false,
         false},
    };
    for (const Case& c : cases) {
        const auto r = Decode(TestRace{}.Set(15, c.packet));
        ASSERT_TRUE(r) << c.what;
        EXPECT_EQ(r->marginL, L1(c.marginL)) << c.what;
        EXPECT_EQ(r->marginR, L1(c.marginR)) << c.what;
        EXPECT_EQ(r->overundL, L1(c.overundL)) << c.what;
        EXPECT_EQ(r->overundR, L1(c.overundR)) << c.what;
        EXPECT_EQ(r->winL, c.winL) << c.what;
        EXPECT_EQ(r->winR, c.winR) << c.what;
    }
}

TEST(DecodeRunRecord, InvalidValuePacketsLeaveTheirFieldsEmpty) {
    const auto r = Decode(TestRace{}.Corrupt(6).Corrupt(8).Corrupt(15));
    ASSERT_TRUE(r);
    EXPECT_TRUE(r->DialL.isEmpty());
    EXPECT_TRUE(r->et60L.isEmpty());
    EXPECT_TRUE(r->et60R.isEmpty());
    EXPECT_EQ(r->et330L, L1("3.612"));
    EXPECT_TRUE(r->marginL.isEmpty());
    EXPECT_FALSE(r->winL);
}

TEST(DecodeRunRecord, PacketsOneAndFiveAndTheHeaderNeverMatter) {
    const auto reference = Decode(TestRace{});
    TestRace race;
    race.packets[0].fill(0xAA);
    race.packets[1].fill(0x55);
    race.packets[5].fill(0x00);
    EXPECT_EQ(Decode(race), reference);
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

}  // namespace
}  // namespace orvanrx
