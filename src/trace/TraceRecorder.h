#pragma once

#include <QByteArray>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "receiver/UsbXpress.h"
#include "support/Clock.h"
#include "trace/TraceStep.h"

namespace orvanrx {

// Takes each recorded step as soon as it is known.
using TraceSink = std::function<void(const trace::Step&)>;

// Records a receiver session as a receiver trace while it runs: every call goes to `device`
// unchanged (arguments, results and statuses), and what the receiver said comes out of `sink`
// as trace steps that a SimulatedXpress plays back to the same effect.
//
// Exchanges. A write of exactly one command frame starts an exchange; its answer is every byte
// the F32x_Read calls deliver until the next flush, write, enumeration, open, close or
// Finish(). The poll loop makes one flush at the start of each tick, so a poll's answer is
// what the tick read; a status refresh in the same tick starts with a flush, which ends the
// poll's exchange before its own begins.
//
// Polls (1B 0F). Each poll gives one step, in order:
//   - bytes read: a Reply of those bytes (the first 64), or `idle` for 12 bytes of 0x00;
//   - no read at all (the wait ran out): `none`;
//   - a read that delivered nothing (a queue check failed): the poll loop then works on the
//     previous answer again, so the previous answer is recorded once more (`idle` when there
//     was none).
// Runs of `idle` and of `none` are merged into one line, which is written when the run ends or
// reaches kMaxMergedPolls (so a long quiet spell is never held back for long).
//
// Values. A complete reply to 0x05, 0x0A or 0x06 gives `status`, `signal` or `frequency`, and
// one to 0x00, 0x01 or 0x02 `version`, `name` or `date`, each only when it differs from the
// last one recorded for that command (the first is always recorded). Short replies record
// nothing. A 0x07 retune is not recorded: the next 0x06 reply shows the new frequency. A
// simulated receiver applies value lines right after the poll they follow; each comes right
// after the last poll's step here, so a refresh after a poll sees the value it saw live.
//
// Lost and found. A flush that fails on the open receiver loses it; `unplug N` is written when
// a receiver is opened again (or by Finish()), N counting the tick of the failed flush and
// every enumeration after it that did not open a receiver. When flushes went through after the
// last poll before the one that failed (the receiver was lost in the middle of a status
// refresh, or during a dialog, after answering its first exchanges), the line says how many:
// `unplug N after K`, and the replay answers those exchanges too. Enumerations before the
// first open give `unplug N` at the head of the trace likewise. A failed flush followed by a
// successful one on the same handle records nothing. When the product text of the opened receiver
// differs from the last one recorded (at first the usual receiver's), `product TEXT` follows.
//
// Comments give the time the recording started, and when a receiver was opened or lost.
//
// Limits of the trace. A value that changes between two
// exchanges with no poll between them replays as changed at the earlier one. Short replies to
// commands, failed flushes that recover, and poll answers beyond 64 bytes are not recorded.
// A write of anything but one whole command frame passes through unrecorded.
class RecordingXpress final : public UsbXpress {
public:
    static constexpr int kMaxMergedPolls = 1000;

    // Writes the header comment to `sink` at once; `clock` stamps the comments.
    RecordingXpress(UsbXpress& device, TraceSink sink, Clock clock = SystemClock());

    Status F32x_GetNumDevices(std::uint32_t& count) override;
    Status F32x_GetProductString(std::uint32_t index,
                                 std::span<std::uint8_t, kProductBufferSize> buffer,
                                 std::uint32_t option) override;
    Status F32x_Open(std::uint32_t index, Handle& handle) override;
    Status F32x_Close(Handle handle) override;
    Status F32x_FlushBuffers(Handle handle) override;
    Status F32x_Write(Handle handle, std::span<const std::uint8_t> data,
                      std::uint32_t& written) override;
    Status F32x_CheckRXQueue(Handle handle, std::uint32_t& bytesWaiting,
                             std::uint32_t& queueStatus) override;
    Status F32x_Read(Handle handle, std::span<std::uint8_t> buffer, std::uint32_t& read) override;

    bool IsSimulated() const override { return device_.IsSimulated(); }
    bool ReceiverAccessDenied() const override { return device_.ReceiverAccessDenied(); }

    // Writes what is still held back (the last poll's step, a merged run, the `unplug` of a
    // receiver still lost) and ends the recording. Calls still pass through afterwards, but
    // nothing more is recorded. Call it before the sink goes away.
    void Finish();

private:
    enum class ExchangeKind { None, Poll, Command, Unrecorded };
    struct Exchange {
        ExchangeKind kind = ExchangeKind::None;
        std::uint8_t code = 0;
        std::size_t replyLength = 0;
        bool readCalled = false;
        std::vector<std::uint8_t> bytes;
    };

    void StartExchange(std::span<const std::uint8_t> frame);
    void EndExchange();
    void RecordPollAnswer(std::vector<std::uint8_t> bytes, bool readCalled);
    void RecordValue(std::uint8_t code, std::span<const std::uint8_t> reply);
    // Adds one poll to the held run of `idle` or `none` lines.
    void HoldRun(bool idle);
    void WriteHeldRun();
    void Emit(const trace::Step& step);
    void Note(const QString& text);

    UsbXpress& device_;
    TraceSink sink_;
    Clock clock_;
    bool finished_ = false;

    Exchange exchange_;
    std::optional<trace::Step> heldRun_;
    std::vector<std::uint8_t> lastPollAnswer_;
    std::map<std::uint8_t, trace::Step> lastValues_;

    // The product text the caller's buffer held after the last F32x_GetProductString, and for
    // which device.
    std::optional<QByteArray> productSeen_;
    std::uint32_t productIndex_ = 0;
    QByteArray lastProduct_;

    bool open_ = false;
    Handle handle_ = 0;
    // No receiver is in use: before the first open, and from a failed flush until the next
    // open. searchTicks_ counts the ticks since then, including the one that ends it.
    bool searching_ = true;
    int searchTicks_ = 0;
    // Flushes that went through on the open receiver since the last poll, and how many had when
    // it was lost.
    int flushesSincePoll_ = 0;
    int lostAfterFlushes_ = 0;
};

}  // namespace orvanrx
