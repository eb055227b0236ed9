#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "receiver/ReceiverProduct.h"
#include "receiver/ReceiverProtocol.h"
#include "receiver/UsbXpress.h"
#include "receiver/WaitClock.h"
#include "trace/TraceStep.h"

namespace orvanrx {

// A scripted receiver: one device of the family that answers the receiver's commands.
//
// It answers the commands of receiver/ReceiverProtocol.h (frames of 0x1B + code, one or more
// per write; bytes that do not start a known frame are ignored, like a 0x07 frame shorter
// than 6 bytes; texts longer than their reply are cut). A poll (0x0F) gets the next answer of
// the trace.
// Texts of the trace are UTF-8; the receiver sends them as Latin-1 ("?" for other
// characters). Replies wait in the receive queue at once.
//
// The trace: a poll (0x0F) takes the next Reply, Idle or None line (a Reply is queued, an
// Idle queues 12 bytes of 0x00, a None queues nothing; Idle and None answer `count` polls
// each) and then applies the keyword lines (status, signal, frequency, version, name, date,
// product) that follow it, up to the next Reply, Idle, None or Unplug line. Keyword lines at
// the head of the trace apply at once. Commands other than the poll never move the trace.
// A poll that finds no Reply, Idle or None line left gets no answer and marks the trace
// exhausted (TraceExhausted()).
//
// Ticks and unplug: the poll loop makes exactly one flush (receiver open) or one
// enumeration (receiver closed) at the start of each tick. An `unplug N` line that the trace
// has reached takes effect at the next F32x_FlushBuffers, F32x_GetNumDevices or poll: that
// call is the first of the N ticks; the receiver is detached, so the open handle is dead
// for good (flush, write, check and read fail) and enumeration lists no device. Each later
// F32x_GetNumDevices while detached counts one more tick; after the N-th tick the receiver
// is attached again and can be opened anew. The keyword lines after the unplug apply when it
// takes effect. `unplug N after K` lets K flushes on the open receiver go through first (their
// exchanges are answered as usual) and takes effect at the next flush after them; a poll or an
// enumeration before then makes it take effect at once.
//
// The receive-queue checks drive a virtual millisecond clock (1 ms per F32x_CheckRXQueue),
// handed out by Clock(), so that a wait for a reply that never comes ends without sleeping.
class SimulatedXpress final : public UsbXpress {
public:
    static constexpr std::size_t kIdleReplyLength = kDataReplyLength;

    explicit SimulatedXpress(std::vector<trace::Step> trace = {});

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

    bool IsSimulated() const override { return true; }

    // A poll found no answer left in the trace.
    bool TraceExhausted() const { return exhausted_; }
    // Steps of the trace not yet played.
    std::size_t StepsLeft() const { return trace_.size() - cursor_; }
    // Continues the trace with `steps` (an endless demo tops it up): the played steps are
    // dropped, and a trace that had run out answers again.
    void AppendTrace(std::vector<trace::Step> steps);
    // Plugs the receiver in (ending any unplug of the trace) or pulls it out until Attach().
    void Attach();
    void Detach();
    bool Attached() const { return attached_; }
    // The bytes of the last kWrittenFramesKept writes, in order. Older ones are dropped, so that
    // a day-long replay (a poll a tick) does not grow without end.
    static constexpr std::size_t kWrittenFramesKept = 4096;
    const std::deque<std::vector<std::uint8_t>>& WrittenFrames() const { return written_; }
    // The virtual clock; valid while this object lives.
    MonotonicClock Clock() const;
    std::int64_t NowMs() const { return nowMs_; }
    std::int32_t Frequency() const { return frequency_; }

private:
    bool IsKeyword(const trace::Step& step) const;
    void ApplyKeywords();
    // Detaches the receiver when the trace stands at an unplug line; true when it did. A flush
    // on the open receiver first passes the line's `after` flushes.
    bool StartPendingUnplug(bool flushOnOpenReceiver = false);
    void CountUnplugTick();
    void Unplug();
    void AnswerPoll();
    void Execute(std::uint8_t code, std::span<const std::uint8_t> data);
    void QueueWord(std::int32_t value, std::size_t bytes);
    void QueueText(const std::string& text, std::size_t length);
    // Status of an operation on `handle` that needs the receiver.
    Status Usable(Handle handle) const;

    std::vector<trace::Step> trace_;
    std::size_t cursor_ = 0;
    int answered_ = 0;       // polls answered by the Idle or None line at cursor_
    int flushesPassed_ = 0;  // flushes let through by the Unplug line at cursor_
    bool exhausted_ = false;

    bool attached_ = true;
    int unplugTicksLeft_ = 0;
    Handle openHandle_ = 0;
    bool handleAlive_ = false;
    Handle nextHandle_ = 1;
    std::deque<std::uint8_t> queue_;
    std::deque<std::vector<std::uint8_t>> written_;
    std::int64_t nowMs_ = 0;

    std::uint8_t status_ = 0;
    std::int16_t signal_ = 0;
    std::int32_t frequency_ = trace::Frequency{}.hertz;
    std::uint8_t version_ = 0x10;
    std::string name_ = kReceiverProductText;
    std::string date_ = "2008-04-16";
    std::string product_ = kReceiverProductText;
};

}  // namespace orvanrx
