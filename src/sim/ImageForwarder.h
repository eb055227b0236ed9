#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "decoding/ReceiveBuffer.h"
#include "receiver/ReceiverProtocol.h"
#include "sim/RaceDayRandom.h"
#include "trace/TraceStep.h"

namespace orvanrx {

// The receiver's side of the broadcast in the race-day generator. It holds the timing
// system's memory image as heard over the air and forwards it to the PC one 8-byte piece per
// poll, each poll becoming one trace step: a DataReply (0xFA, venue byte, big-endian address,
// the 8 bytes at that address) or an idle answer.
//
// It keeps a copy of what the PC's mirror holds after the replies so far, so it always knows
// which pieces are due: those whose bytes in the image differ from the PC's copy. Due pieces
// go first, in random order; when none is due the receiver sweeps round the pieces in use.
//
// Radio noise, when asked for, corrupts one byte of a reply's data with the given probability
// per reply. A corrupted piece stays due, so a clean copy always follows later. Noise spares
// the bytes set with SetNoiseShield, and it never turns a byte into a win mark ("W" or "w").
class ImageForwarder {
public:
    static constexpr int kPieceSize = kDataBytesPerReply;
    // Pieces start at 0, 8, ..., 32760; byte 32768 of the mirror is never sent.
    static constexpr int kPieceCount = (ReceiveBuffer::kSize - 1) / kPieceSize;

    // `seed` drives the order of the pieces and the idle answers; the noise has its own draws
    // (from the same seed), so switching noise on leaves what the timing system does alone.
    ImageForwarder(std::uint32_t seed, double noise, std::uint8_t venue,
                   std::vector<trace::Step>& steps);

    const ReceiveBuffer& Image() const { return image_; }
    const ReceiveBuffer& Mirror() const { return mirror_; }
    std::uint8_t Venue() const { return venue_; }
    int CorruptedReplies() const { return corrupted_; }

    // The timing system writes bytes into its image at offset (0..32767). The pieces they
    // touch join the sweep.
    void Write(int offset, std::span<const std::uint8_t> bytes);
    // The pieces overlapping offset .. offset + length - 1 leave the sweep: the timing system
    // no longer uses them. Their bytes stay where they are.
    void Forget(int offset, int length);
    // Bytes that noise must not touch, as (offset, length) ranges; replaces earlier ranges.
    void SetNoiseShield(const std::vector<std::pair<int, int>>& ranges);

    // Polls until every due piece has reached the PC intact.
    void Deliver();
    // `polls` polls of ordinary traffic (due pieces first, otherwise the sweep, now and then an
    // idle answer), then Deliver().
    void Pass(int polls);
    // The receiver starts reporting another venue byte. The PC clears its whole mirror at the
    // first reply that carries it, so every piece in use is sent again; the pieces holding the
    // bytes at `lastOffsets` (the pointers) go only after all the others have arrived.
    void ChangeVenue(std::uint8_t venue, const std::vector<int>& lastOffsets);

    void Comment(std::string text);

private:
    void Send(int piece);
    void SendDue();  // one due piece, drawn at random
    void Idle(int polls);
    void MarkIfDue(int piece);
    int NextSweepPiece();

    RaceDayRandom random_;
    RaceDayRandom noiseRandom_;
    double noise_;
    std::uint8_t venue_;
    std::vector<trace::Step>& steps_;
    ReceiveBuffer image_;
    ReceiveBuffer mirror_;
    std::vector<bool> used_;
    std::vector<bool> due_;
    std::vector<int> dueList_;
    std::vector<bool> shielded_;
    int sweepCursor_ = 0;
    int corrupted_ = 0;
};

}  // namespace orvanrx
