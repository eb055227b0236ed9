#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <numeric>
#include <set>

#include "decoding/ByteOrder.h"
#include "decoding/RaceRows.h"
#include "decoding/RunDecoder.h"
#include "sim/RaceDayGenerator.h"
#include "sim/SimLoop.h"

namespace orvanrx {
namespace {

using testing::ExpectLogHoldsExactly;

// The PC's side of a replay: the programs' poll loop on the day's trace. After every stored
// reply it notes what the mirror shows.
struct Pc {
    explicit Pc(const RaceDay& day, bool checkStageOrder = false)
        : checkStageOrder(checkStageOrder), run(day.steps) {
        InitReceiveState(run.buffer);
        run.tables.ResetRunTables();
        run.log.onStored = [this] { Note(); };
        run.RunToEnd();
    }

    void Note() {
        const ReceiveBuffer& mirror = run.buffer;
        venues.insert(run.venue);
        const int h = mirror.RunBlockPointer();
        pointers.insert(h);
        const auto whole = [&](int k) {
            return PacketChecksumOK(mirror, h + 24 * k).value_or(false);
        };
        if (whole(2) && !(whole(3) && whole(4))) {
            ++halfShownEntries;
        }
        if (mirror.NoMessageMarker() == ReceiveBuffer::kNoMessage) {
            ++noMessageReplies;
        } else {
            const int m = mirror.MessagePointer();
            const auto text = mirror.Slice(m + 1, mirror.At(m).value_or(0));
            messages.insert(text ? std::string(text->begin(), text->end()) : "<outside>");
        }
        if (checkStageOrder) {
            CheckStageOrder();
        }
    }

    void CheckStageOrder() {
        const auto r = DecodeRunRecord(run.buffer);
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

    // Replies after which the race on show had a figure of a later stage while one of an
    // earlier stage was still missing (only counted when asked: noise empties figures too).
    bool checkStageOrder;
    int outOfOrder = 0;
    // Replies after which the RunBlock on show had its category whole but a lane entry not:
    // the decoder would log whatever half of the race it found.
    int halfShownEntries = 0;
    std::set<int> venues;            // every venue byte a stored reply carried
    std::set<int> pointers;          // every RunBlockPointer the decoder was handed
    std::set<std::string> messages;  // every scroll message text the mirror showed
    int noMessageReplies = 0;        // replies after which no message was to be shown
    testing::SimLoop run;
};

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
        SCOPED_TRACE(::testing::Message() << "seed " << c.seed << ", noise " << c.noise
                                          << (c.venueChange ? ", venue change" : ""));
        const RaceDay day = GenerateRaceDay({c.races, c.seed, c.noise, c.venueChange});
        ASSERT_EQ(day.races.size(), static_cast<std::size_t>(c.races));
        EXPECT_EQ(day.corruptedReplies > 0, c.noise > 0.0);

        Pc pc(day, c.noise == 0.0);
        ExpectLogHoldsExactly(pc.run.tables.AllRunsTable(), day.races);
        EXPECT_EQ(pc.halfShownEntries, 0);
        EXPECT_EQ(pc.outOfOrder, 0);
        // The day ends with the last race whole in the mirror, corrupted pieces replaced.
        for (int k = 0; k < 16 && c.races > 0; ++k) {
            EXPECT_TRUE(PacketChecksumOK(pc.run.buffer, pc.run.buffer.RunBlockPointer() + 24 * k)
                            .value_or(false))
                << "Packet " << k;
        }
        // Every race had a RunBlock of its own (plus the pointer 0 of the empty mirror).
        EXPECT_GE(pc.pointers.size(), static_cast<std::size_t>(c.races));
        EXPECT_EQ(pc.venues.size(), c.venueChange ? 2u : 1u);
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

    using PieceData = std::array<std::uint8_t, 8>;  // the 8 data bytes of a DataReply
    const auto addressAndData = [](const trace::Reply& r) {
        PieceData data{};
        std::copy_n(r.bytes.begin() + 4, data.size(), data.begin());
        return std::make_pair(BigEndianInt16(r.bytes[2], r.bytes[3]), data);
    };
    std::map<int, std::set<PieceData>> sent;
    for (const trace::Step& s : clean.steps) {
        if (const auto* r = std::get_if<trace::Reply>(&s)) {
            const auto [a, data] = addressAndData(*r);
            sent[a].insert(data);
        }
    }
    int corrupted = 0;
    for (const trace::Step& s : noisy.steps) {
        const auto* r = std::get_if<trace::Reply>(&s);
        if (!r || sent[addressAndData(*r).first].count(addressAndData(*r).second)) {
            continue;
        }
        ++corrupted;
        const auto piece = addressAndData(*r);
        const auto a = piece.first;
        const auto& data = piece.second;
        EXPECT_TRUE(std::ranges::any_of(sent[a],
                                        [&data](const auto& good) {
                                            return std::inner_product(
                                                       good.begin(), good.end(), data.begin(), 0,
                                                       std::plus<>(), std::not_equal_to<>()) == 1;
                                        }))
            << "reply at " << a << " is not one corrupted byte away";
        EXPECT_GE(a, 512) << "noise reached the pointers or the scroll message";
    }
    EXPECT_GT(corrupted, 0);
    EXPECT_EQ(corrupted, noisy.corruptedReplies);
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
        dialRaces += r.DialL.isEmpty() ? 0 : 1;
        bumpRaces += r.BumpL.isEmpty() ? 0 : 1;
        marginRaces += r.marginL.isEmpty() ? 0 : 1;
        overUnderRaces += r.overundL.isEmpty() ? 0 : 1;
        EXPECT_TRUE(r.mph1000L.isEmpty() && r.mph1000R.isEmpty());
    }
    EXPECT_TRUE(roundKinds.contains(u'E') &&
                (roundKinds.contains(u'T') || roundKinds.contains(u'Q')));
    EXPECT_TRUE(
        std::ranges::all_of(roundKinds, [](QChar k) { return QStringLiteral("ETQ").contains(k); }));
    EXPECT_EQ(dialRaces + bumpRaces, 40);
    EXPECT_GT(dialRaces, 0);
    EXPECT_GT(bumpRaces, 0);
    EXPECT_EQ(marginRaces + overUnderRaces, 40);
    EXPECT_GT(overUnderRaces, 0);
    EXPECT_GT(marginRaces, 0);

    const Pc pc(day);
    ExpectLogHoldsExactly(pc.run.tables.AllRunsTable(), day.races);
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
    // 26 and 54: seeds whose programs put the same car in the left lane twice running if left
    // alone.
    for (const std::uint32_t seed : {26u, 54u, 2024u}) {
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
    ExpectLogHoldsExactly(Pc(day).run.tables.AllRunsTable(), day.races);
}

}  // namespace
}  // namespace orvanrx
