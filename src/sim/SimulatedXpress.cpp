#include "sim/SimulatedXpress.h"

#include <QByteArray>
#include <QString>
#include <algorithm>
#include <type_traits>

#include "decoding/ByteOrder.h"
#include "receiver/ReceiverProtocol.h"

namespace orvanrx {

namespace {

constexpr std::size_t kMaxProductLength = UsbXpress::kProductBufferSize - 1;

QByteArray Latin1(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())).toLatin1();
}

}  // namespace

SimulatedXpress::SimulatedXpress(std::vector<trace::Step> trace) : trace_(std::move(trace)) {
    ApplyKeywords();
}

bool SimulatedXpress::IsKeyword(const trace::Step& step) const {
    return !std::holds_alternative<trace::Reply>(step) &&
           !std::holds_alternative<trace::Idle>(step) &&
           !std::holds_alternative<trace::None>(step) &&
           !std::holds_alternative<trace::Unplug>(step);
}

void SimulatedXpress::ApplyKeywords() {
    for (; cursor_ < trace_.size() && IsKeyword(trace_[cursor_]); ++cursor_) {
        std::visit(
            [this](const auto& step) {
                using T = std::decay_t<decltype(step)>;
                if constexpr (std::is_same_v<T, trace::Status>) {
                    status_ = step.flags;
                } else if constexpr (std::is_same_v<T, trace::Signal>) {
                    signal_ = step.raw;
                } else if constexpr (std::is_same_v<T, trace::Frequency>) {
                    frequency_ = step.hertz;
                } else if constexpr (std::is_same_v<T, trace::Version>) {
                    version_ = step.value;
                } else if constexpr (std::is_same_v<T, trace::Name>) {
                    name_ = step.text;
                } else if constexpr (std::is_same_v<T, trace::Date>) {
                    date_ = step.text;
                } else if constexpr (std::is_same_v<T, trace::Product>) {
                    product_ = step.text;
                }
            },
            trace_[cursor_]);
    }
}

void SimulatedXpress::Unplug() {
    attached_ = false;
    handleAlive_ = false;
    queue_.clear();
}

bool SimulatedXpress::StartPendingUnplug(bool flushOnOpenReceiver) {
    if (!attached_ || cursor_ >= trace_.size()) {
        return false;
    }
    const auto* unplug = std::get_if<trace::Unplug>(&trace_[cursor_]);
    if (unplug == nullptr) {
        return false;
    }
    if (flushOnOpenReceiver && flushesPassed_ < unplug->afterFlushes) {
        ++flushesPassed_;
        return false;
    }
    flushesPassed_ = 0;
    unplugTicksLeft_ = std::max(unplug->ticks, 1);
    ++cursor_;
    Unplug();
    ApplyKeywords();
    return true;
}

void SimulatedXpress::CountUnplugTick() {
    if (unplugTicksLeft_ > 0 && --unplugTicksLeft_ == 0) {
        attached_ = true;
    }
}

void SimulatedXpress::Attach() {
    attached_ = true;
    unplugTicksLeft_ = 0;
}

void SimulatedXpress::Detach() {
    Unplug();
    unplugTicksLeft_ = 0;
}

MonotonicClock SimulatedXpress::Clock() const {
    return [this] { return nowMs_; };
}

UsbXpress::Status SimulatedXpress::Usable(Handle handle) const {
    if (handle == 0 || handle != openHandle_) {
        return kInvalidHandle;
    }
    return handleAlive_ ? kSuccess : kDeviceNotFound;
}

UsbXpress::Status SimulatedXpress::F32x_GetNumDevices(std::uint32_t& count) {
    StartPendingUnplug();
    count = attached_ ? 1 : 0;
    if (!attached_) {
        CountUnplugTick();
    }
    return kSuccess;
}

UsbXpress::Status SimulatedXpress::F32x_GetProductString(
    std::uint32_t index, std::span<std::uint8_t, kProductBufferSize> buffer, std::uint32_t option) {
    if (option != kProductDescription) {
        return kInvalidParameter;
    }
    if (!attached_ || index != 0) {
        return kDeviceNotFound;
    }
    const QByteArray text = Latin1(product_);
    const std::size_t length = std::min(static_cast<std::size_t>(text.size()), kMaxProductLength);
    std::copy_n(text.constData(), length, buffer.begin());
    buffer[length] = 0;
    return kSuccess;
}

UsbXpress::Status SimulatedXpress::F32x_Open(std::uint32_t index, Handle& handle) {
    if (!attached_ || index != 0) {
        return kDeviceNotFound;
    }
    if (handleAlive_) {
        return kTransferError;  // already open
    }
    openHandle_ = nextHandle_++;
    handleAlive_ = true;
    queue_.clear();
    handle = openHandle_;
    return kSuccess;
}

UsbXpress::Status SimulatedXpress::F32x_Close(Handle handle) {
    if (handle == 0 || handle != openHandle_) {
        return kInvalidHandle;
    }
    openHandle_ = 0;
    handleAlive_ = false;
    queue_.clear();
    return kSuccess;
}

UsbXpress::Status SimulatedXpress::F32x_FlushBuffers(Handle handle) {
    const bool unplugged = StartPendingUnplug(Usable(handle) == kSuccess);
    const Status status = Usable(handle);
    if (status == kSuccess) {
        queue_.clear();
    }
    if (unplugged) {
        CountUnplugTick();
    }
    return status;
}

UsbXpress::Status SimulatedXpress::F32x_Write(Handle handle, std::span<const std::uint8_t> data,
                                              std::uint32_t& written) {
    written = 0;
    const Status status = Usable(handle);
    if (status != kSuccess) {
        return status;
    }
    if (written_.size() == kWrittenFramesKept) {
        written_.pop_front();
    }
    written_.emplace_back(data.begin(), data.end());
    written = static_cast<std::uint32_t>(data.size());
    std::size_t i = 0;
    while (i + 1 < data.size()) {
        if (data[i] != kCommandEscape) {
            ++i;
            continue;
        }
        const std::uint8_t code = data[i + 1];
        const std::size_t length = FrameLength(code);
        if (i + length > data.size()) {
            break;
        }
        Execute(code, data.subspan(i + kCommandFrameLength, length - kCommandFrameLength));
        i += length;
    }
    return kSuccess;
}

UsbXpress::Status SimulatedXpress::F32x_CheckRXQueue(Handle handle, std::uint32_t& bytesWaiting,
                                                     std::uint32_t& queueStatus) {
    ++nowMs_;
    bytesWaiting = 0;
    queueStatus = kQueueEmpty;
    const Status status = Usable(handle);
    if (status != kSuccess) {
        return status;
    }
    bytesWaiting = static_cast<std::uint32_t>(queue_.size());
    queueStatus = queue_.empty() ? kQueueEmpty : kQueueReady;
    return kSuccess;
}

UsbXpress::Status SimulatedXpress::F32x_Read(Handle handle, std::span<std::uint8_t> buffer,
                                             std::uint32_t& read) {
    read = 0;
    const Status status = Usable(handle);
    if (status != kSuccess) {
        return status;
    }
    const std::size_t count = std::min(buffer.size(), queue_.size());
    const auto end = queue_.begin() + static_cast<std::ptrdiff_t>(count);
    std::copy(queue_.begin(), end, buffer.begin());
    queue_.erase(queue_.begin(), end);
    read = static_cast<std::uint32_t>(count);
    return kSuccess;
}

void SimulatedXpress::QueueWord(std::int32_t value, std::size_t bytes) {
    const auto u = static_cast<std::uint32_t>(value);
    for (std::size_t i = 0; i < kShortReplyLength; ++i) {
        queue_.push_back(i < bytes ? static_cast<std::uint8_t>(u >> (8 * (bytes - 1 - i))) : 0);
    }
}

void SimulatedXpress::QueueText(const std::string& text, std::size_t length) {
    const QByteArray bytes = Latin1(text);
    for (std::size_t i = 0; i < length; ++i) {
        queue_.push_back(i < static_cast<std::size_t>(bytes.size())
                             ? static_cast<std::uint8_t>(bytes[static_cast<qsizetype>(i)])
                             : 0);
    }
}

void SimulatedXpress::Execute(std::uint8_t code, std::span<const std::uint8_t> data) {
    switch (code) {
        case kCommandVersion:
            QueueWord(version_, 1);
            break;
        case kCommandName:
            QueueText(name_, kNameReplyLength);
            break;
        case kCommandDate:
            QueueText(date_, kDateReplyLength);
            break;
        case kCommandStatus:
            QueueWord(status_, 1);
            break;
        case kCommandReadFrequency:
            QueueWord(frequency_, 4);
            break;
        case kCommandWriteFrequency:
            frequency_ = BigEndianInt32(data[0], data[1], data[2], data[3]);
            QueueWord(frequency_, 4);
            break;
        case kCommandSignal:
            QueueWord(static_cast<std::uint16_t>(signal_), 2);
            break;
        case kCommandPoll:
            AnswerPoll();
            break;
        default:
            break;  // the receiver ignores codes it does not know
    }
}

void SimulatedXpress::AppendTrace(std::vector<trace::Step> steps) {
    trace_.erase(trace_.begin(), trace_.begin() + static_cast<std::ptrdiff_t>(cursor_));
    cursor_ = 0;
    trace_.insert(trace_.end(), std::make_move_iterator(steps.begin()),
                  std::make_move_iterator(steps.end()));
    exhausted_ = false;
}

void SimulatedXpress::AnswerPoll() {
    if (StartPendingUnplug()) {
        CountUnplugTick();
        return;
    }
    if (cursor_ >= trace_.size()) {
        exhausted_ = true;
        return;
    }
    const trace::Step& step = trace_[cursor_];
    if (const auto* reply = std::get_if<trace::Reply>(&step)) {
        queue_.insert(queue_.end(), reply->bytes.begin(), reply->bytes.end());
        ++cursor_;
    } else {
        const auto* idle = std::get_if<trace::Idle>(&step);
        const int count = idle != nullptr ? idle->count : std::get<trace::None>(step).count;
        if (idle != nullptr) {
            queue_.insert(queue_.end(), kIdleReplyLength, 0);
        }
        if (++answered_ >= count) {
            answered_ = 0;
            ++cursor_;
        }
    }
    ApplyKeywords();
}

}  // namespace orvanrx
