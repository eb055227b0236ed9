#include "trace/TraceRecorder.h"

#include <QString>
#include <algorithm>
#include <utility>

#include "decoding/ByteOrder.h"
#include "receiver/Receiver.h"
#include "receiver/ReceiverProtocol.h"

namespace orvanrx {

namespace {

constexpr std::size_t kMaxReplyBytes = 64;

// The reply length of the commands whose replies are recorded; 0 for the others. Tuning is
// not recorded: the frequency it sets is recorded when it is read back.
std::size_t RecordedReplyLength(std::uint8_t code) {
    return code == kCommandWriteFrequency ? 0 : ReplyLength(code);
}

// The bytes before the first 0 byte, as text (the receiver sends Latin-1).
std::string ReplyText(std::span<const std::uint8_t> bytes) {
    const auto end = std::find(bytes.begin(), bytes.end(), std::uint8_t{0});
    const QByteArray latin1(reinterpret_cast<const char*>(bytes.data()), end - bytes.begin());
    return QString::fromLatin1(latin1).toStdString();
}

bool IsIdleAnswer(std::span<const std::uint8_t> bytes) {
    return bytes.size() == kDataReplyLength &&
           std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0; });
}

}  // namespace

RecordingXpress::RecordingXpress(UsbXpress& device, TraceSink sink, Clock clock)
    : device_(device),
      sink_(std::move(sink)),
      clock_(std::move(clock)),
      lastProduct_(kReceiverProductText) {
    Note(QStringLiteral("OrvanRX receiver trace, recorded from %1")
             .arg(clock_().toString(Qt::ISODate)));
}

UsbXpress::Status RecordingXpress::F32x_GetNumDevices(std::uint32_t& count) {
    EndExchange();
    const Status status = device_.F32x_GetNumDevices(count);
    if (searching_) {
        ++searchTicks_;
    }
    return status;
}

UsbXpress::Status RecordingXpress::F32x_GetProductString(
    std::uint32_t index, std::span<std::uint8_t, kProductBufferSize> buffer, std::uint32_t option) {
    const Status status = device_.F32x_GetProductString(index, buffer, option);
    if (option == kProductDescription) {
        // What the caller will judge the device by, whether or not this call filled it.
        const auto end = std::find(buffer.begin(), buffer.end(), std::uint8_t{0});
        productSeen_ = QByteArray(reinterpret_cast<const char*>(buffer.data()),
                                  static_cast<qsizetype>(end - buffer.begin()));
        productIndex_ = index;
    }
    return status;
}

UsbXpress::Status RecordingXpress::F32x_Open(std::uint32_t index, Handle& handle) {
    EndExchange();
    const Status status = device_.F32x_Open(index, handle);
    if (status != kSuccess) {
        return status;
    }
    open_ = true;
    handle_ = handle;
    flushesSincePoll_ = 0;
    if (searching_) {
        searching_ = false;
        // The enumeration that found this receiver is not one of the ticks without it.
        if (searchTicks_ - 1 >= 1) {
            Emit(trace::Unplug{searchTicks_ - 1, lostAfterFlushes_});
        }
    }
    QString product = QStringLiteral("?");
    if (productSeen_ && productIndex_ == index) {
        product = QString::fromLatin1(*productSeen_);
        if (*productSeen_ != lastProduct_) {
            Emit(trace::Product{product.toStdString()});
            lastProduct_ = *productSeen_;
        }
    }
    productSeen_.reset();
    Note(QStringLiteral("receiver \"%1\" opened %2").arg(product, clock_().toString(Qt::ISODate)));
    return status;
}

UsbXpress::Status RecordingXpress::F32x_Close(Handle handle) {
    EndExchange();
    const Status status = device_.F32x_Close(handle);
    if (open_ && handle == handle_) {
        open_ = false;
        if (searching_) {
            Note(QStringLiteral("receiver lost %1").arg(clock_().toString(Qt::ISODate)));
        }
    }
    return status;
}

UsbXpress::Status RecordingXpress::F32x_FlushBuffers(Handle handle) {
    EndExchange();
    const Status status = device_.F32x_FlushBuffers(handle);
    if (open_ && handle == handle_) {
        if (status != kSuccess && !searching_) {
            searching_ = true;
            searchTicks_ = 1;
            lostAfterFlushes_ = flushesSincePoll_;
        } else if (status == kSuccess && searching_) {
            searching_ = false;  // it was there after all
        }
        if (status == kSuccess) {
            ++flushesSincePoll_;
        }
    }
    return status;
}

UsbXpress::Status RecordingXpress::F32x_Write(Handle handle, std::span<const std::uint8_t> data,
                                              std::uint32_t& written) {
    EndExchange();
    const Status status = device_.F32x_Write(handle, data, written);
    StartExchange(data);
    return status;
}

UsbXpress::Status RecordingXpress::F32x_CheckRXQueue(Handle handle, std::uint32_t& bytesWaiting,
                                                     std::uint32_t& queueStatus) {
    return device_.F32x_CheckRXQueue(handle, bytesWaiting, queueStatus);
}

UsbXpress::Status RecordingXpress::F32x_Read(Handle handle, std::span<std::uint8_t> buffer,
                                             std::uint32_t& read) {
    const Status status = device_.F32x_Read(handle, buffer, read);
    if (exchange_.kind == ExchangeKind::None || exchange_.kind == ExchangeKind::Unrecorded) {
        return status;
    }
    exchange_.readCalled = true;
    const std::size_t delivered = std::min<std::size_t>(read, buffer.size());
    const bool wasComplete = exchange_.bytes.size() >= exchange_.replyLength;
    exchange_.bytes.insert(exchange_.bytes.end(), buffer.begin(),
                           buffer.begin() + static_cast<std::ptrdiff_t>(delivered));
    if (exchange_.kind == ExchangeKind::Command && !wasComplete &&
        exchange_.bytes.size() >= exchange_.replyLength) {
        RecordValue(exchange_.code, std::span(exchange_.bytes).first(exchange_.replyLength));
    }
    return status;
}

void RecordingXpress::Finish() {
    if (finished_) {
        return;
    }
    EndExchange();
    if (searching_ && searchTicks_ >= 1) {
        Emit(trace::Unplug{searchTicks_, lostAfterFlushes_});
    }
    WriteHeldRun();
    finished_ = true;
}

void RecordingXpress::StartExchange(std::span<const std::uint8_t> frame) {
    exchange_ = {};
    if (frame.size() < kCommandFrameLength || frame[0] != kCommandEscape) {
        exchange_.kind = ExchangeKind::Unrecorded;
        return;
    }
    const std::uint8_t code = frame[1];
    const std::size_t replyLength = RecordedReplyLength(code);
    if (frame.size() != FrameLength(code) || (code != kCommandPoll && replyLength == 0)) {
        exchange_.kind = ExchangeKind::Unrecorded;
        return;
    }
    if (code == kCommandPoll) {
        flushesSincePoll_ = 0;
    }
    exchange_.kind = code == kCommandPoll ? ExchangeKind::Poll : ExchangeKind::Command;
    exchange_.code = code;
    exchange_.replyLength = replyLength;
}

void RecordingXpress::EndExchange() {
    Exchange ended = std::exchange(exchange_, {});
    if (ended.kind == ExchangeKind::Poll) {
        RecordPollAnswer(std::move(ended.bytes), ended.readCalled);
    }
}

void RecordingXpress::RecordPollAnswer(std::vector<std::uint8_t> bytes, bool readCalled) {
    if (bytes.empty()) {
        if (!readCalled) {
            HoldRun(false);
            return;
        }
        // The reader keeps the previous answer when a read delivers nothing; giving it the
        // same bytes again has the same effect.
        bytes = lastPollAnswer_;
        if (bytes.empty()) {
            bytes.assign(kDataReplyLength, 0);
        }
    }
    if (bytes.size() > kMaxReplyBytes) {
        bytes.resize(kMaxReplyBytes);
    }
    lastPollAnswer_ = bytes;
    if (IsIdleAnswer(bytes)) {
        HoldRun(true);
    } else {
        Emit(trace::Reply{std::move(bytes)});
    }
}

void RecordingXpress::RecordValue(std::uint8_t code, std::span<const std::uint8_t> reply) {
    trace::Step value;
    switch (code) {
        case kCommandVersion:
            value = trace::Version{reply[0]};
            break;
        case kCommandName:
            value = trace::Name{ReplyText(reply)};
            break;
        case kCommandDate:
            value = trace::Date{ReplyText(reply)};
            break;
        case kCommandStatus:
            value = trace::Status{reply[0]};
            break;
        case kCommandReadFrequency:
            value = trace::Frequency{BigEndianInt32(reply[0], reply[1], reply[2], reply[3])};
            break;
        default:
            value = trace::Signal{BigEndianInt16(reply[0], reply[1])};
            break;
    }
    const auto last = lastValues_.find(code);
    if (last != lastValues_.end() && last->second == value) {
        return;
    }
    lastValues_.insert_or_assign(code, value);
    Emit(value);
}

void RecordingXpress::HoldRun(bool idle) {
    if (heldRun_) {
        if (auto* run = std::get_if<trace::Idle>(&*heldRun_); run != nullptr && idle) {
            if (++run->count >= kMaxMergedPolls) {
                WriteHeldRun();
            }
            return;
        }
        if (auto* run = std::get_if<trace::None>(&*heldRun_); run != nullptr && !idle) {
            if (++run->count >= kMaxMergedPolls) {
                WriteHeldRun();
            }
            return;
        }
        WriteHeldRun();
    }
    heldRun_ = idle ? trace::Step{trace::Idle{1}} : trace::Step{trace::None{1}};
}

void RecordingXpress::WriteHeldRun() {
    if (heldRun_ && !finished_) {
        sink_(*heldRun_);
    }
    heldRun_.reset();
}

void RecordingXpress::Emit(const trace::Step& step) {
    WriteHeldRun();
    if (!finished_) {
        sink_(step);
    }
}

void RecordingXpress::Note(const QString& text) {
    Emit(trace::Comment{text.toStdString()});
}

}  // namespace orvanrx
