#include <gtest/gtest.h>

#include <QDateTime>
#include <algorithm>
#include <array>
#include <map>
#include <set>

#include "decoding/ByteOrder.h"
#include "decoding/RunDecoder.h"
#include "sim/RaceDayGenerator.h"

namespace orvanrx {
namespace {

const QDateTime kNow(QDate(2026, 5, 1), QTime(10, 0));

// The PC's side of a replay: each reply is stored the way the poll loop stores it and decoded
// after every stored reply.
struct Station {
    ReceiveBuffer mirror;
    RunTables tables{FixedClock(kNow)};
    int venue = 0;
    std::set<int> pointers;          // every RunBlockPointer the decoder was handed
    std::set<std::string> messages;  // every scroll message text the mirror showed
    int noMessageReplies = 0;        // replies after which no message was to be shown
    // Replies after which the RunBlock on show had its category whole but a lane entry not:
    // the decoder would log whatever half of the race it found.
    int halfShownEntries = 0;
    // Replies after which the race on show had a figure of a later stage while one of an
    // earlier stage was still missing (only counted when asked: noise empties figures too).
    bool checkStageOrder = false;
    int outOfOrder = 0;

    Station() {
        InitReceiveState(mirror);
        tables.ResetRunTables();
    }

    void Feed(const std::vector<trace::Step>& steps) {
        for (const trace::Step& step : steps) {
            if (const auto* reply = std::get_if<trace::Reply>(&step)) {
                Store(reply->bytes);
            }
        }
    }

    void Store(const std::vector<std::uint8_t>& r) {
        if (r.size() < 12 || r[0] != 0xFA) {
            return;
        }
        if (r[1] != venue) {
            ClearReceiveBuffer(mirror);
            venue = r[1];
        }
        const std::array<std::uint8_t, 2> scratch = {r[3], r[2]};
        const int a = BufferToInt16(scratch);
        for (int k = 0; k < 8; ++k) {
            if (!mirror.Set(a + k, r[4 + static_cast<std::size_t>(k)])) {
                return;
            }
        }
        DecodeRun(mirror, tables);
        const int h = mirror.RunBlockPointer();
        pointers.insert(h);
        const auto whole = [&](int k) {
            return PacketChecksumOK(mirror, h + 24 * k).value_or(false);
        };
        if (whole(2) && !(whole(3) && whole(4))) {
            ++halfShownEntries;
        }
        NoteMessage();
        if (checkStageOrder) {
            CheckStageOrder();
        }
    }

    void CheckStageOrder() {
        const auto r = DecodeRunRecord(mirror);
        if (!r) {
            return;
        }
        // Dial-in or bump; launch; 1/8 mile; 1/4 mile; result.
        const std::vector<std::vector<QString>> stages = {
            {r->DialL + r->BumpL, r->DialR + r->BumpR},
            {r->RTL, r->RTR, r->et60L, r->et60R},
            {r->et330L, r->et330R, r->et660L, r->et660R, r->mph660L, r->mph660R},
            {r->et1000L, r->et1000R, r->et1320L, r->et1320R, r->mph1320L, r->mph1320R},
            {r->marginL + r->overundL, r->marginR + r->overundR},
        };
        bool gap = false;
        for (const auto& stage : stages) {
            const bool any = std::any_of(stage.begin(), stage.end(),
                                         [](const QString& f) { return !f.isEmpty(); });
            if (any && gap) {
                ++outOfOrder;
                return;
            }
            gap = gap || std::any_of(stage.begin(), stage.end(),
                                     [](const QString& f) { return f.isEmpty(); });
        }
    }

    void NoteMessage() {
        if (mirror.NoMessageMarker() == ReceiveBuffer::kNoMessage) {
            ++noMessageReplies;
            return;
        }
        const int m = mirror.MessagePointer();
        std::string text;
        for (int i = m + 1; i <= m + mirror.At(m).value_or(0); ++i) {
            text += static_cast<char>(mirror.At(i).value_or(0));
        }
        messages.insert(text);
    }
};

RunRow ExpectedRow(const RunRecord& r, bool left, int generalId) {
    const auto pick = [left](const QString& l, const QString& rr) { return left ? l : rr; };
    RunRow row;
    row[GeneralID] = QString::number(generalId);
    row[DateTime] = kNow.toString(QLatin1String(kDateTimeCellFormat));
    row[Category] = r.Category;
    row[Class] = pick(r.ClassL, r.ClassR);
    row[Car] = pick(r.CarL, r.CarR);
    row[Name] = pick(r.NameL, r.NameR);
    row[Lane] = left ? QStringLiteral("L") : QStringLiteral("R");
    row[Bump] = pick(r.BumpL, r.BumpR);
    row[Dial] = pick(r.DialL, r.DialR);
    row[RT] = pick(r.RTL, r.RTR);
    row[et60] = pick(r.et60L, r.et60R);
    row[et330] = pick(r.et330L, r.et330R);
    row[et660] = pick(r.et660L, r.et660R);
    row[mph660] = pick(r.mph660L, r.mph660R);
    row[et1000] = pick(r.et1000L, r.et1000R);
    row[et1320] = pick(r.et1320L, r.et1320R);
    row[mph1320] = pick(r.mph1320L, r.mph1320R);
    row[margin] = pick(r.marginL, r.marginR);
    row[overund] = pick(r.overundL, r.overundR);
    row[win] = (left ? r.winL : r.winR) ? QStringLiteral("W") : QString();
    return row;
}

void ExpectLogHoldsExactly(const RunTable& table, const std::vector<RunRecord>& races) {
    ASSERT_EQ(table.RowCount(), 2 * static_cast<int>(races.size()));
    for (std::size_t i = 0; i < races.size(); ++i) {
        const int left = 2 * static_cast<int>(i);
        const RunRow expected[2] = {ExpectedRow(races[i], true, left + 1),
                                    ExpectedRow(races[i], false, left)};
        for (int lane = 0; lane < 2; ++lane) {
            for (int c = 0; c < kRunColumnCount; ++c) {
                EXPECT_EQ(table.Cell(left + lane, c).toStdString(),
                          expected[lane][static_cast<std::size_t>(c)].toStdString())
                    << "race " << i << (lane == 0 ? " left" : " right") << " column " << c;
            }
        }
    }
}

struct DayCase {
    std::uint32_t seed;
    int races;
    double noise;
    bool venueChange;
};

TEST(RaceDayGenerator, ReplayedDayLogsExactlyTheRacesRun) {
    const DayCase cases[] = {
        {1, 10, 0.0, false}, {2, 10, 0.0, true}, {3, 10, 0.2, false},
        {4, 10, 0.3, true},  {5, 8, 0.6, true},  {6, 1, 0.4, true},
    };
    for (const DayCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "seed " << c.seed << ", noise " << c.noise
                                        << (c.venueChange ? ", venue change" : ""));
        const RaceDay day = GenerateRaceDay({c.races, c.seed, c.noise, c.venueChange});
        ASSERT_EQ(day.races.size(), static_cast<std::size_t>(c.races));
        EXPECT_EQ(day.corruptedReplies > 0, c.noise > 0.0);

        Station pc;
        pc.checkStageOrder = c.noise == 0.0;
        pc.Feed(day.steps);
        ExpectLogHoldsExactly(pc.tables.AllRunsTable(), day.races);
        EXPECT_EQ(pc.halfShownEntries, 0);
        EXPECT_EQ(pc.outOfOrder, 0);
        // The day ends with the last race whole in the mirror, corrupted pieces replaced.
        for (int k = 0; k < 16 && c.races > 0; ++k) {
            EXPECT_TRUE(
                PacketChecksumOK(pc.mirror, pc.mirror.RunBlockPointer() + 24 * k).value_or(false))
                << "Packet " << k;
        }
        // Every race had a RunBlock of its own (plus the pointer 0 of the empty mirror).
        EXPECT_GE(pc.pointers.size(), static_cast<std::size_t>(c.races));
    }
}

TEST(RaceDayGenerator, SameSeedSameDayOtherSeedOtherDay) {
    const RaceDay a = GenerateRaceDay({6, 77, 0.2, true});
    const RaceDay b = GenerateRaceDay({6, 77, 0.2, true});
    const RaceDay c = GenerateRaceDay({6, 78, 0.2, true});
    EXPECT_TRUE(a.steps == b.steps);
    EXPECT_TRUE(a.races == b.races);
    EXPECT_FALSE(a.steps == c.steps);
    EXPECT_FALSE(a.races == c.races);
}

TEST(RaceDayGenerator, NoiseCorruptsSingleBytesOfPiecesTheCleanDaySends) {
    const RaceDay clean = GenerateRaceDay({10, 9, 0.0, false});
    const RaceDay noisy = GenerateRaceDay({10, 9, 0.3, false});
    ASSERT_TRUE(clean.races == noisy.races);  // noise changes the air, not the races

    const auto addressAndData = [](const trace::Reply& r) {
        return std::make_pair(BigEndianInt16(r.bytes[2], r.bytes[3]),
                              std::vector<std::uint8_t>(r.bytes.begin() + 4, r.bytes.begin() + 12));
    };
    std::map<int, std::set<std::vector<std::uint8_t>>> sent;
    for (const trace::Step& s : clean.steps) {
        if (const auto* r = std::get_if<trace::Reply>(&s)) {
            const auto [a, data] = addressAndData(*r);
            sent[a].insert(data);
        }
    }
    int corrupted = 0;
    for (const trace::Step& s : noisy.steps) {
        const auto* r = std::get_if<trace::Reply>(&s);
        if (!r) {
            continue;
        }
        const auto [a, data] = addressAndData(*r);
        if (sent[a].count(data)) {
            continue;
        }
        ++corrupted;
        bool oneByteOff = false;
        for (const auto& good : sent[a]) {
            int differing = 0;
            for (std::size_t i = 0; i < good.size(); ++i) {
                differing += good[i] != data[i] ? 1 : 0;
            }
            oneByteOff = oneByteOff || differing == 1;
        }
        EXPECT_TRUE(oneByteOff) << "reply at " << a << " is not one corrupted byte away";
        EXPECT_GE(a, 512) << "noise reached the pointers or the scroll message";
    }
    EXPECT_GT(corrupted, 0);
    EXPECT_EQ(corrupted, noisy.corruptedReplies);
}

TEST(RaceDayGenerator, RepliesAreDataRepliesOfAlignedPieces) {
    const RaceDay day = GenerateRaceDay({8, 3, 0.1, true});
    int replies = 0;
    int idles = 0;
    int comments = 0;
    std::set<int> venues;
    for (const trace::Step& s : day.steps) {
        if (const auto* r = std::get_if<trace::Reply>(&s)) {
            ++replies;
            ASSERT_GE(r->bytes.size(), 12u);
            ASSERT_LE(r->bytes.size(), 64u);
            EXPECT_EQ(r->bytes[0], 0xFA);
            const int a = BigEndianInt16(r->bytes[2], r->bytes[3]);
            EXPECT_EQ(a % 8, 0);
            EXPECT_TRUE(a >= 0 && a <= 32760) << a;
            venues.insert(r->bytes[1]);
        } else if (std::holds_alternative<trace::Idle>(s)) {
            ++idles;
        } else if (std::holds_alternative<trace::Comment>(s)) {
            ++comments;
        } else {
            ADD_FAILURE() << "unexpected step kind " << s.index();
        }
    }
    EXPECT_GT(replies, 8 * 50);
    EXPECT_GT(idles, 0);
    EXPECT_GE(comments, 8 + 1);    // a heading and one per race at least
    EXPECT_EQ(venues.size(), 2u);  // the venue change
}

TEST(RaceDayGenerator, DayLooksLikeADayAtTheStrip) {
    const RaceDay day = GenerateRaceDay({40, 2024, 0.0, false});
    ASSERT_EQ(day.races.size(), 40u);
    std::set<QChar> roundKinds;
    int dialRaces = 0, bumpRaces = 0, marginRaces = 0, overUnderRaces = 0;
    for (std::size_t i = 0; i < day.races.size(); ++i) {
        const RunRecord& r = day.races[i];
        ASSERT_EQ(r.Category.size(), 16) << r.Category.toStdString();
        roundKinds.insert(r.Category[14]);
        EXPECT_TRUE(r.Category[15].isDigit()) << r.Category.toStdString();
        EXPECT_NE(r.winL, r.winR) << "race " << i << " has one winner";
        if (i > 0) {
            EXPECT_NE(r.CarL, day.races[i - 1].CarL) << "race " << i;
        }
        dialRaces += r.DialL.isEmpty() ? 0 : 1;
        bumpRaces += r.BumpL.isEmpty() ? 0 : 1;
        marginRaces += r.marginL.isEmpty() ? 0 : 1;
        overUnderRaces += r.overundL.isEmpty() ? 0 : 1;
        EXPECT_TRUE(r.mph1000L.isEmpty() && r.mph1000R.isEmpty());
    }
    EXPECT_TRUE(roundKinds.count(u'E') && (roundKinds.count(u'T') || roundKinds.count(u'Q')));
    for (const QChar kind : roundKinds) {
        EXPECT_TRUE(QStringLiteral("ETQ").contains(kind)) << QString(kind).toStdString();
    }
    EXPECT_EQ(dialRaces + bumpRaces, 40);
    EXPECT_GT(dialRaces, 0);
    EXPECT_GT(bumpRaces, 0);
    EXPECT_EQ(marginRaces + overUnderRaces, 40);
    EXPECT_GT(overUnderRaces, 0);
    EXPECT_GT(marginRaces, 0);

    Station pc;
    pc.Feed(day.steps);
    ExpectLogHoldsExactly(pc.tables.AllRunsTable(), day.races);
    // A scroll message came and went, and the PC never saw one half written.
    EXPECT_FALSE(pc.messages.empty());
    EXPECT_GT(pc.noMessageReplies, 0);
    for (const std::string& text : pc.messages) {
        EXPECT_GE(text.size(), 10u) << text;
        EXPECT_EQ(text.find('\0'), std::string::npos) << text;
    }
}

TEST(RaceDayGenerator, NoCarFollowsItselfInTheLeftLane) {
    // The PC would take the second race for a rerun of the first and write it over its rows.
    // Seeds whose programs put the same car in the left lane twice running if left alone.
    for (const std::uint32_t seed : {26u, 54u}) {
        const RaceDay day = GenerateRaceDay({32, seed, 0.0, false});
        for (std::size_t i = 1; i < day.races.size(); ++i) {
            EXPECT_NE(day.races[i].CarL, day.races[i - 1].CarL) << "seed " << seed << " race " << i;
        }
    }
}

TEST(RaceDayGenerator, OptionsOutOfRangeAreClamped) {
    EXPECT_TRUE(GenerateRaceDay({0, 1, 0.0, true}).races.empty());
    EXPECT_TRUE(GenerateRaceDay({-5, 1, 0.0, false}).races.empty());
    // Noise of 1 (or more) would never let a piece through intact: it is held below that.
    const RaceDay day = GenerateRaceDay({2, 1, 5.0, false});
    Station pc;
    pc.Feed(day.steps);
    ExpectLogHoldsExactly(pc.tables.AllRunsTable(), day.races);
}

}  // namespace
}  // namespace orvanrx
