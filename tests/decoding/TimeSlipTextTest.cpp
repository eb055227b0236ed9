#include <gtest/gtest.h>

#include <QStringList>

#include "TestRace.h"
#include "decoding/TimeSlipText.h"

namespace orvanrx {
namespace {

using testing::TestRace;

QString Slip(TestRace race, int count, std::int16_t h = 1000) {
    race.packets[0][0] = static_cast<std::uint8_t>(count);
    ReceiveBuffer buffer;
    race.WriteTo(buffer, h);
    return TimeSlipText(buffer).value_or(QStringLiteral("<failed>"));
}

TEST(TimeSlipText, ShowsPacketsTwoUpToTheLastCountedInFull) {
    for (const int n : {0, 1, 2}) {
        EXPECT_EQ(Slip(TestRace{}, n), QString()) << n;
    }
    EXPECT_EQ(Slip(TestRace{}, 3), QStringLiteral("SUPER PRO     E1     \r\n "));
    EXPECT_EQ(Slip(TestRace{}, 4),
              QStringLiteral("SUPER PRO     E1     \r\n L[SP:1234]JOHN DOE   \r\n "));

    const QStringList lines = Slip(TestRace{}, 16).split(QStringLiteral("\r\n "));
    ASSERT_EQ(lines.size(), 15);  // Packets 2..15 and the empty rest after the last break
    EXPECT_EQ(lines[13], QStringLiteral("MARG W 0.0123  0.0456"));  // bytes 0..20 of Packet 15
    EXPECT_EQ(lines[14], QString());
}

// Every line holds 21 characters, so the right lane's figures and the entries keep their last
// character: a byte at 20 shows, bytes 21 and 22 do not.
TEST(TimeSlipText, ShowsBytesZeroThroughTwentyOfEachPacket) {
    struct Case {
        const char* packet;
        const char* line;
    };
    const Case cases[] = {
        {"      LEFT   RIGHT", "      LEFT   RIGHT   "},
        {"1/4     9.512  10.268", "1/4     9.512  10.268"},
        {"ABCDEFGHIJKLMNOPQRSTUVW", "ABCDEFGHIJKLMNOPQRSTU"},  // bytes 21, 22 never shown
        {"R[SP:1234]JANE Q ROEXYZ", "R[SP:1234]JANE Q ROEX"},
    };
    for (const Case& c : cases) {
        TestRace race;
        race.Set(2, MakePacket(c.packet));
        EXPECT_EQ(Slip(race, 3), QString::fromLatin1(c.line) + QStringLiteral("\r\n ")) << c.packet;
    }
    const QStringList lines = Slip(TestRace{}, 16).split(QStringLiteral("\r\n "));
    EXPECT_EQ(lines[3], QStringLiteral("      LEFT   RIGHT   "));
    EXPECT_EQ(lines[11], QStringLiteral("1/4     9.512  10.268"));
    EXPECT_EQ(lines[12], QStringLiteral("MPH    140.11  131.22"));
}

TEST(TimeSlipText, DropsUnprintableBytesAndIgnoresChecksums) {
    TestRace race;
    race.Set(2, MakePacket("PRO\r\nET\x7F\x13 Q1")).Corrupt(2);
    EXPECT_EQ(Slip(race, 3), QStringLiteral("PROET Q1         \r\n "));
}

TEST(TimeSlipText, FailsWhenPointerOrCountLeavesTheMirror) {
    ReceiveBuffer buffer;
    WriteRunBlockPointer(buffer, -1);
    EXPECT_EQ(TimeSlipText(buffer), std::nullopt);

    // 255 Packets from 32000 run far past the end.
    WriteRunBlockPointer(buffer, 32000);
    buffer.Set(32000, 255);
    EXPECT_EQ(TimeSlipText(buffer), std::nullopt);
    // The header byte itself at the very end, with nothing to show.
    WriteRunBlockPointer(buffer, 32767);
    buffer.Set(32767, 2);
    EXPECT_EQ(TimeSlipText(buffer), QString());
}

// The characters a lane's spans cover on the slip, a line each: "line text".
std::string LaneTexts(const ReceiveBuffer& buffer, QChar lane) {
    const QStringList lines = TimeSlipText(buffer)->split(QStringLiteral("\r\n"));
    const std::vector<TimeSlipSpan> spans = TimeSlipLaneSpans(buffer, lane).value();
    QStringList texts;
    for (const TimeSlipSpan& span : spans) {
        texts << QStringLiteral("%1 %2").arg(span.line).arg(
            lines[span.line].mid(span.column, span.length));
    }
    return texts.join(u'|').toStdString();
}

TEST(TimeSlipLaneSpans, CoverTheLanesEntryAndItsValueColumn) {
    ReceiveBuffer buffer;
    TestRace race;
    // An unprintable byte in a label moves the rest of its line one place to the left.
    race.Set(7, MakePacket("RT\x01  " + std::string("   0.512   0.498")));
    race.WriteTo(buffer, 1000);
    EXPECT_EQ(LaneTexts(buffer, u'L'),
              "1 L[SP:1234]JOHN DOE   |3  LEFT   |4     9.50|5    0.512|6    1.312|7    3.612|"
              "8    5.912|9   112.34|10    7.712|11    9.512|12   140.11|13 W 0.0123");
    // The right lane's area in full (bytes 13..20).
    EXPECT_EQ(LaneTexts(buffer, u'R'),
              "2 R[SP:567]JANE ROE    |3 RIGHT   |4    10.25|5    0.498|6    1.298|7    3.598|"
              "8    5.898|9   113.01|10    7.698|11   10.268|12   131.22|13   0.0456");
    // Only as far as the header counts, and nothing where the slip has nothing.
    race.packets[0][0] = 5;
    race.WriteTo(buffer, 1000);
    EXPECT_EQ(LaneTexts(buffer, u'R'), "2 R[SP:567]JANE ROE    ");
    WriteRunBlockPointer(buffer, -1);
    EXPECT_EQ(TimeSlipLaneSpans(buffer, u'L'), std::nullopt);
}

}  // namespace
}  // namespace orvanrx
