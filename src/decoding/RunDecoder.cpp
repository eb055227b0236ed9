#include "decoding/RunDecoder.h"

#include <array>

#include "support/Support.h"

namespace orvanrx {

namespace {

constexpr qsizetype kDialMinLength = 4;
constexpr qsizetype kValueMinLength = 5;

QString TrimBlanks(const QString& s) {
    qsizetype first = 0;
    qsizetype last = s.size();
    while (first < last && s[first] == u' ') {
        ++first;
    }
    while (last > first && s[last - 1] == u' ') {
        --last;
    }
    return s.mid(first, last - first);
}

// Characters from position `start` (1-based) on; empty past the end.
QString FromPosition(const QString& s, qsizetype start) {
    return start > s.size() ? QString() : s.mid(start - 1);
}

template <bool (*Keep)(std::uint8_t)>
QString Filtered(std::span<const std::uint8_t> bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (const std::uint8_t b : bytes) {
        if (Keep(b)) {
            text += QChar(char16_t{b});
        }
    }
    return text;
}

constexpr bool KeepPrintable(std::uint8_t b) {
    return IsPrintableByte(b);
}
constexpr bool KeepNumeric(std::uint8_t b) {
    return IsNumericByte(b);
}

QString WinText(std::span<const std::uint8_t> area) {
    QString text;
    for (const std::uint8_t b : area) {
        text += WinChar(b);
    }
    return text;
}

// A Packet of the RunBlock that passed its checksum.
class ValidPacket {
public:
    explicit ValidPacket(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::uint8_t Byte(int i) const { return bytes_[static_cast<std::size_t>(i)]; }
    std::span<const std::uint8_t> Bytes(int first, int count) const {
        return bytes_.subspan(static_cast<std::size_t>(first), static_cast<std::size_t>(count));
    }
    QString LeftValue() const {
        return Filtered<KeepNumeric>(Bytes(kLeftValueArea, kValueAreaSize));
    }
    QString RightValue() const {
        return Filtered<KeepNumeric>(Bytes(kRightValueArea, kValueAreaSize));
    }

private:
    std::span<const std::uint8_t> bytes_;
};

// The RunBlock at H, every Packet it visits known to lie inside the mirror.
class RunBlock {
public:
    RunBlock(const ReceiveBuffer& buffer, int h) : buffer_(buffer), h_(h) {}

    static bool FitsInMirror(int h) {
        return ReceiveBuffer::Contains(static_cast<long long>(h) + kPacketSize * packet::kCategory,
                                       kPacketSize * (packet::kCount - packet::kCategory));
    }

    // Packet k when its checksum is right.
    std::optional<ValidPacket> Packet(int k) const {
        const long long offset = static_cast<long long>(h_) + kPacketSize * k;
        if (PacketChecksumOK(buffer_, offset).value_or(false)) {
            return ValidPacket(*buffer_.Slice(offset, kPacketSize));
        }
        return std::nullopt;
    }

private:
    const ReceiveBuffer& buffer_;
    int h_;
};

// Sets `field` to `value` when the value is long enough to be a real reading.
void TakeIfLong(QString& field, const QString& value, qsizetype minLength) {
    if (value.size() >= minLength) {
        field = value;
    }
}

}  // namespace

std::optional<LaneEntry> ParseLaneEntry(const QString& text, QChar lane) {
    const QString prefix = QString(lane) + u'[';
    if (!text.startsWith(prefix)) {
        return std::nullopt;
    }
    LaneEntry entry;
    QString s = FromPosition(text, 3);

    qsizetype p = s.indexOf(u':') + 1;  // 1-based position, 0 when absent
    if (p > 0) {
        --p;
    }
    entry.Class = TrimBlanks(s.left(p));
    s = FromPosition(s, p + 2);

    p = s.indexOf(u']') + 1;
    if (p > 0) {
        --p;
    }
    entry.Car = TrimBlanks(s.left(p));
    s = FromPosition(s, p + 2);

    entry.Name = TrimBlanks(s);
    return entry;
}

std::optional<RunRecord> DecodeRunRecord(const ReceiveBuffer& buffer) {
    const int h = buffer.RunBlockPointer();
    if (!RunBlock::FitsInMirror(h)) {
        return std::nullopt;
    }
    const RunBlock block(buffer, h);
    RunRecord r;

    if (const auto p = block.Packet(packet::kCategory)) {
        r.Category = TrimBlanks(Filtered<KeepPrintable>(p->Bytes(0, 16)));
    }
    if (r.Category.isEmpty()) {
        return std::nullopt;
    }

    // An entry Packet that is whole but names the wrong lane ends the decode; one that fails
    // its checksum only leaves that lane's entry empty for now.
    const auto readEntry = [&](int k, QChar lane, QString& cls, QString& car, QString& name) {
        const auto p = block.Packet(k);
        if (!p) {
            return true;
        }
        const auto entry = ParseLaneEntry(Filtered<KeepPrintable>(p->Bytes(0, 21)), lane);
        if (!entry) {
            return false;
        }
        cls = entry->Class;
        car = entry->Car;
        name = entry->Name;
        return true;
    };
    if (!readEntry(packet::kLeftEntry, u'L', r.ClassL, r.CarL, r.NameL) ||
        !readEntry(packet::kRightEntry, u'R', r.ClassR, r.CarR, r.NameR)) {
        return std::nullopt;
    }
    if (r.CarL.isEmpty() && r.CarR.isEmpty()) {
        return std::nullopt;
    }

    if (const auto p = block.Packet(packet::kDialOrBump)) {
        if (p->Byte(1) == 'D') {
            TakeIfLong(r.DialL, p->LeftValue(), kDialMinLength);
            TakeIfLong(r.DialR, p->RightValue(), kDialMinLength);
        } else if (p->Byte(1) == 'B') {
            const QString bump = p->LeftValue() + p->RightValue();
            if (bump.size() >= kDialMinLength) {
                r.BumpL = bump;
                r.BumpR = bump;
            }
        }
    }

    const std::array<std::pair<QString*, QString*>, 8> timing{{
        {&r.RTL, &r.RTR},
        {&r.et60L, &r.et60R},
        {&r.et330L, &r.et330R},
        {&r.et660L, &r.et660R},
        {&r.mph660L, &r.mph660R},
        {&r.et1000L, &r.et1000R},
        {&r.et1320L, &r.et1320R},
        {&r.mph1320L, &r.mph1320R},
    }};
    for (std::size_t i = 0; i < timing.size(); ++i) {
        if (const auto p = block.Packet(packet::kReaction + static_cast<int>(i))) {
            TakeIfLong(*timing[i].first, p->LeftValue(), kValueMinLength);
            TakeIfLong(*timing[i].second, p->RightValue(), kValueMinLength);
        }
    }

    if (const auto p = block.Packet(packet::kResult)) {
        const QString left = p->LeftValue();
        const QString right = p->RightValue();
        if (p->Byte(0) == 'M') {
            // The margin is filled crosswise: each lane shows the figure in the other's area.
            TakeIfLong(r.marginL, right, kValueMinLength);
            TakeIfLong(r.marginR, left, kValueMinLength);
        } else if (p->Byte(2) == '+') {
            TakeIfLong(r.overundL, left, kValueMinLength);
            TakeIfLong(r.overundR, right, kValueMinLength);
        }
        const QString w = QStringLiteral("W");
        const bool leftWin = WinText(p->Bytes(kLeftValueArea, kValueAreaSize)) == w;
        const bool rightWin = WinText(p->Bytes(kRightValueArea, kValueAreaSize)) == w;
        r.winL = leftWin;
        r.winR = rightWin;
    }
    return r;
}

bool DecodeRun(const ReceiveBuffer& buffer, RunTables& tables) {
    const auto record = DecodeRunRecord(buffer);
    return record ? tables.StoreRun(*record) : false;
}

}  // namespace orvanrx
