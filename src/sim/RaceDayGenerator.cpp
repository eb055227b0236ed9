#include "sim/RaceDayGenerator.h"

#include <algorithm>
#include <optional>
#include <string>

#include "sim/ImageForwarder.h"
#include "sim/RaceDayRandom.h"
#include "sim/RacePackets.h"

namespace orvanrx {

namespace {

constexpr int kMaxRaces = 10000;
constexpr double kMaxNoise = 0.9;

// Offsets 0..511 hold the pointers, the no-message marker and the scroll message; RunBlocks go
// above, and end by offset 32767 (the last byte a reply can carry).
constexpr int kHeaderPageSize = 512;
constexpr int kRunBlockSize = kPacketSize * kRunBlockPackets;
constexpr int kFirstRunBlockOffset = kHeaderPageSize;
constexpr int kLastRunBlockOffset = ReceiveBuffer::kLastOffset - kRunBlockSize;
constexpr int kFirstMessageOffset = ReceiveBuffer::kNoMessageMarkerOffset + 2;
// Packets 3 and 4, the lane entries.
constexpr int kEntriesOffset = kPacketSize * 3;
constexpr int kEntriesSize = kPacketSize * 2;

const std::vector<std::string> kMessages = {
    "WELCOME TO RACE DAY",          "CONCESSIONS OPEN UNTIL 9PM",     "ALL CARS MUST PASS TECH",
    "TRACK DRYING - 15 MINUTES",    "ELIMINATIONS START AFTER LUNCH", "PIT GATE CLOSES AT 8PM",
    "THANK YOU FOR RACING WITH US", "LANE CHOICE TO THE QUICKER CAR",
};

std::vector<std::uint8_t> Bytes(const RunBlockPackets& packets) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(kRunBlockSize);
    for (const PacketBytes& p : packets) {
        bytes.insert(bytes.end(), p.begin(), p.end());
    }
    return bytes;
}

std::string Collapsed(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c != ' ' || (!out.empty() && out.back() != ' ')) {
            out += c;
        }
    }
    return out;
}

std::string RaceComment(const CardRace& race, int races) {
    const auto lane = [](const char* side, const CardLane& l) {
        return std::string(side) + " " + l.car + " " + Collapsed(l.name);
    };
    std::string text = "race ";
    text += std::to_string(race.number) + " of " + std::to_string(races) + ": ";
    text += Collapsed(race.category) + ", " + lane("left", race.left) + ", " +
            lane("right", race.right);
    return text;
}

// The timing system of the venue: it runs the day's races into its image, and the receiver
// (ImageForwarder) passes the image on.
class TimingSystem {
public:
    TimingSystem(const RaceDayOptions& options, RaceDay& day)
        : options_(options),
          day_(day),
          random_(options.seed),
          card_(random_),
          receiver_(options.seed * 2654435761u + 1u, options.noise,
                    static_cast<std::uint8_t>(random_.Between(1, 255)), day.steps) {}

    void Run() {
        const int races = options_.races;
        receiver_.Comment(std::string("race day: ") + std::to_string(races) + " races, seed " +
                          std::to_string(options_.seed) + ", venue " +
                          std::to_string(receiver_.Venue()));
        if (options_.venueChange && races > 0) {
            venueChangeRace_ = static_cast<int>(random_.Between(0, races - 1));
            venueChangeStage_ = static_cast<int>(random_.Between(1, kRaceStages));
        }
        ShieldEntriesOf({});
        WriteByte(ReceiveBuffer::kNoMessageMarkerOffset, ReceiveBuffer::kNoMessage);
        receiver_.Deliver();

        for (int i = 0; i < races; ++i) {
            const CardRace race = card_.Next();
            receiver_.Comment(RaceComment(race, races));
            RunRace(i, race);
            day_.races.push_back(ExpectedRecord(race));
            ChangeMessageNowAndThen();
            receiver_.Pass(static_cast<int>(random_.Between(3, 10)));
        }
        day_.corruptedReplies = receiver_.CorruptedReplies();
    }

private:
    void RunRace(int index, const CardRace& race) {
        // The new RunBlock is written complete with its entrants, away from the block on show;
        // only once the PC has all of it does the pointer move.
        const int h = NewRunBlockOffset();
        ShieldEntriesOf({current_, h});
        receiver_.Write(h, Bytes(RunBlockAtStage(race, 0)));
        receiver_.Deliver();
        WritePointer(ReceiveBuffer::kRunBlockPointerOffset, h);
        receiver_.Deliver();
        if (current_) {
            receiver_.Forget(*current_, kRunBlockSize);
        }
        current_ = h;
        ShieldEntriesOf({current_});
        receiver_.Pass(static_cast<int>(random_.Between(2, 6)));

        for (int stage = 1; stage <= kRaceStages; ++stage) {
            if (index == venueChangeRace_ && stage == venueChangeStage_) {
                ChangeVenue();
            }
            if (stage == kRaceStages) {
                break;
            }
            receiver_.Write(h, Bytes(RunBlockAtStage(race, stage)));
            receiver_.Deliver();
            receiver_.Pass(static_cast<int>(random_.Between(1, 6)));
        }
    }

    // Anywhere in the RunBlock area, but on none of the 8-byte pieces of the block on show.
    int NewRunBlockOffset() {
        constexpr int kPiece = ImageForwarder::kPieceSize;
        while (true) {
            const int h =
                static_cast<int>(random_.Between(kFirstRunBlockOffset, kLastRunBlockOffset));
            if (!current_ || h / kPiece > (*current_ + kRunBlockSize - 1) / kPiece ||
                (h + kRunBlockSize - 1) / kPiece < *current_ / kPiece) {
                return h;
            }
        }
    }

    void ChangeMessageNowAndThen() {
        if (!message_ && random_.Chance(0.25)) {
            const std::string& text = random_.Pick(kMessages);
            const int length = static_cast<int>(text.size());
            const int m = static_cast<int>(
                random_.Between(kFirstMessageOffset, kHeaderPageSize - 1 - length));
            receiver_.Comment("scroll message: " + text);
            std::vector<std::uint8_t> bytes;
            bytes.reserve(text.size() + 1);
            bytes.push_back(static_cast<std::uint8_t>(length));
            for (const char c : text) {
                bytes.push_back(static_cast<std::uint8_t>(c));
            }
            receiver_.Write(m, bytes);
            receiver_.Deliver();
            // Pointer and marker together, once the text is in.
            receiver_.Write(ReceiveBuffer::kMessagePointerOffset,
                            std::vector<std::uint8_t>{static_cast<std::uint8_t>(m >> 8),
                                                      static_cast<std::uint8_t>(m & 0xFF), 0x00});
            receiver_.Deliver();
            message_ = {m, length + 1};
        } else if (message_ && random_.Chance(0.3)) {
            receiver_.Comment("scroll message removed");
            WriteByte(ReceiveBuffer::kNoMessageMarkerOffset, ReceiveBuffer::kNoMessage);
            receiver_.Deliver();
            receiver_.Forget(message_->first, message_->second);
            message_.reset();
        }
    }

    void ChangeVenue() {
        auto venue = static_cast<std::uint8_t>(random_.Between(1, 254));
        if (venue >= receiver_.Venue()) {
            ++venue;
        }
        receiver_.Comment(std::string("venue byte ") + std::to_string(receiver_.Venue()) + " -> " +
                          std::to_string(venue) + ": the PC clears its mirror");
        receiver_.ChangeVenue(
            venue, {ReceiveBuffer::kRunBlockPointerOffset, ReceiveBuffer::kMessagePointerOffset});
    }

    void ShieldEntriesOf(std::initializer_list<std::optional<int>> blocks) {
        std::vector<std::pair<int, int>> ranges = {{0, kHeaderPageSize}};
        for (const auto& h : blocks) {
            if (h) {
                ranges.emplace_back(*h + kEntriesOffset, kEntriesSize);
            }
        }
        receiver_.SetNoiseShield(ranges);
    }

    void WriteByte(int offset, std::uint8_t b) {
        receiver_.Write(offset, std::vector<std::uint8_t>{b});
    }

    void WritePointer(int offset, int value) {
        receiver_.Write(offset, std::vector<std::uint8_t>{static_cast<std::uint8_t>(value >> 8),
                                                          static_cast<std::uint8_t>(value & 0xFF)});
    }

    const RaceDayOptions& options_;
    RaceDay& day_;
    RaceDayRandom random_;
    RaceCard card_;
    ImageForwarder receiver_;
    std::optional<int> current_;                  // offset of the RunBlock on show
    std::optional<std::pair<int, int>> message_;  // offset and size of the scroll message
    int venueChangeRace_ = -1;
    int venueChangeStage_ = -1;
};

}  // namespace

RaceDay GenerateRaceDay(const RaceDayOptions& options) {
    RaceDayOptions o = options;
    o.races = std::clamp(o.races, 0, kMaxRaces);
    o.noise = o.noise > 0.0 ? std::min(o.noise, kMaxNoise) : 0.0;  // NaN too counts as none
    RaceDay day;
    TimingSystem timing(o, day);
    timing.Run();
    return day;
}

}  // namespace orvanrx
