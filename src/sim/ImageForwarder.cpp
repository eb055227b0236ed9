#include "sim/ImageForwarder.h"

#include <algorithm>
#include <utility>

namespace orvanrx {

namespace {

// Chances of the receiver's small habits, per poll or per reply.
constexpr double kIdleChance = 0.15;        // a sweep poll that finds nothing to send
constexpr double kExtraBytesChance = 0.02;  // a reply with a few trailing bytes after the 12

// Separate draws for the noise, so that it can be switched on and off without changing the
// order in which pieces are forwarded before the first corrupted reply.
constexpr std::uint32_t kNoiseSeedOffset = 0x9E3779B9u;

}  // namespace

ImageForwarder::ImageForwarder(std::uint32_t seed, double noise, std::uint8_t venue,
                               std::vector<trace::Step>& steps)
    : random_(seed),
      noiseRandom_(seed + kNoiseSeedOffset),
      noise_(noise),
      venue_(venue),
      steps_(steps),
      used_(kPieceCount, false),
      due_(kPieceCount, false),
      shielded_(ReceiveBuffer::kSize, false) {}

void ImageForwarder::Write(int offset, std::span<const std::uint8_t> bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        image_.Set(offset + static_cast<long long>(i), bytes[i]);
    }
    if (bytes.empty()) {
        return;
    }
    const int first = std::max(0, offset / kPieceSize);
    const int last =
        std::min(kPieceCount - 1, (offset + static_cast<int>(bytes.size()) - 1) / kPieceSize);
    for (int p = first; p <= last; ++p) {
        used_[static_cast<std::size_t>(p)] = true;
        MarkIfDue(p);
    }
}

void ImageForwarder::Forget(int offset, int length) {
    if (length <= 0) {
        return;
    }
    const int first = std::max(0, offset / kPieceSize);
    const int last = std::min(kPieceCount - 1, (offset + length - 1) / kPieceSize);
    for (int p = first; p <= last; ++p) {
        used_[static_cast<std::size_t>(p)] = false;
    }
}

void ImageForwarder::SetNoiseShield(const std::vector<std::pair<int, int>>& ranges) {
    std::fill(shielded_.begin(), shielded_.end(), false);
    for (const auto& [offset, length] : ranges) {
        for (int i = std::max(0, offset); i < offset + length && i < ReceiveBuffer::kSize; ++i) {
            shielded_[static_cast<std::size_t>(i)] = true;
        }
    }
}

void ImageForwarder::MarkIfDue(int piece) {
    const auto p = static_cast<std::size_t>(piece);
    if (due_[p]) {
        return;
    }
    const int a = piece * kPieceSize;
    for (int i = a; i < a + kPieceSize; ++i) {
        if (image_[i] != mirror_[i]) {
            due_[p] = true;
            dueList_.push_back(piece);
            return;
        }
    }
}

void ImageForwarder::SendDue() {
    const auto i =
        static_cast<std::size_t>(random_.Between(0, static_cast<long long>(dueList_.size()) - 1));
    const int piece = dueList_[i];
    dueList_[i] = dueList_.back();
    dueList_.pop_back();
    due_[static_cast<std::size_t>(piece)] = false;
    Send(piece);
}

void ImageForwarder::Deliver() {
    while (!dueList_.empty()) {
        SendDue();
    }
}

void ImageForwarder::Pass(int polls) {
    for (int n = 0; n < polls; ++n) {
        if (!dueList_.empty()) {
            SendDue();
            continue;
        }
        const int piece = random_.Chance(kIdleChance) ? -1 : NextSweepPiece();
        if (piece < 0) {
            Idle(1);
        } else {
            Send(piece);
        }
    }
    Deliver();
}

void ImageForwarder::ChangeVenue(std::uint8_t venue, const std::vector<int>& lastOffsets) {
    venue_ = venue;
    mirror_.Clear();
    std::vector<bool> held(kPieceCount, false);
    for (const int offset : lastOffsets) {
        held[static_cast<std::size_t>(offset / kPieceSize)] = true;
    }
    for (int p = 0; p < kPieceCount; ++p) {
        if (used_[static_cast<std::size_t>(p)] && !held[static_cast<std::size_t>(p)]) {
            MarkIfDue(p);
        }
    }
    Deliver();
    for (int p = 0; p < kPieceCount; ++p) {
        if (used_[static_cast<std::size_t>(p)] && held[static_cast<std::size_t>(p)]) {
            MarkIfDue(p);
        }
    }
    Deliver();
}

void ImageForwarder::Comment(std::string text) {
    steps_.emplace_back(trace::Comment{std::move(text)});
}

void ImageForwarder::Send(int piece) {
    const int a = piece * kPieceSize;
    std::vector<std::uint8_t> reply = {kDataReplyMarker, venue_, static_cast<std::uint8_t>(a >> 8),
                                       static_cast<std::uint8_t>(a & 0xFF)};
    for (int i = a; i < a + kPieceSize; ++i) {
        reply.push_back(image_[i]);
    }

    if (noise_ > 0.0 && noiseRandom_.Chance(noise_)) {
        std::vector<int> open;
        for (int i = 0; i < kPieceSize; ++i) {
            if (!shielded_[static_cast<std::size_t>(a + i)]) {
                open.push_back(i);
            }
        }
        if (!open.empty()) {
            std::uint8_t& b = reply[4 + static_cast<std::size_t>(noiseRandom_.Pick(open))];
            std::uint8_t hit = b;
            while (hit == b || hit == 'W' || hit == 'w') {
                hit = static_cast<std::uint8_t>(b ^ noiseRandom_.Between(1, 255));
            }
            b = hit;
            ++corrupted_;
        }
    }
    if (random_.Chance(kExtraBytesChance)) {
        reply.resize(reply.size() + static_cast<std::size_t>(random_.Between(1, 4)), 0x00);
    }

    for (int i = 0; i < kPieceSize; ++i) {
        mirror_.Set(a + i, reply[4 + static_cast<std::size_t>(i)]);
    }
    steps_.emplace_back(trace::Reply{std::move(reply)});
    MarkIfDue(piece);  // a corrupted piece is due again
}

void ImageForwarder::Idle(int polls) {
    if (!steps_.empty()) {
        if (auto* idle = std::get_if<trace::Idle>(&steps_.back())) {
            idle->count += polls;
            return;
        }
    }
    steps_.emplace_back(trace::Idle{polls});
}

int ImageForwarder::NextSweepPiece() {
    for (int n = 0; n < kPieceCount; ++n) {
        const int p = sweepCursor_;
        sweepCursor_ = (sweepCursor_ + 1) % kPieceCount;
        if (used_[static_cast<std::size_t>(p)]) {
            return p;
        }
    }
    return -1;
}

}  // namespace orvanrx
