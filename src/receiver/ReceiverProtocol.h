#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

// The receiver's command protocol, shared by the PC's side (Receiver, the poll loop) and the
// receivers that play it (SimulatedXpress, RecordingXpress).
//
// A command is a frame of the escape byte and a command code. Only the tuning command carries
// data: the frequency in hertz, four bytes big-endian. Every command but the poll has a reply
// of fixed length:
//   0x00  version          8 bytes: the version byte, then 0x00
//   0x01  name            51 bytes: text, 0x00 padding
//   0x02  date            16 bytes: text, 0x00 padding
//   0x05  status           8 bytes: the status byte, then 0x00
//   0x06  read frequency   8 bytes: the frequency, big-endian, then 0x00
//   0x07  write frequency  8 bytes: as for 0x06 (the new frequency)
//   0x0A  signal           8 bytes: the raw signal reading, big-endian signed, then 0x00
//   0x0F  poll             a 12-byte answer: a data reply (see shell/DataReply.h) or, with
//                          nothing to send, 12 bytes of 0x00
namespace orvanrx {

inline constexpr std::uint8_t kCommandEscape = 0x1B;

inline constexpr std::uint8_t kCommandVersion = 0x00;
inline constexpr std::uint8_t kCommandName = 0x01;
inline constexpr std::uint8_t kCommandDate = 0x02;
inline constexpr std::uint8_t kCommandStatus = 0x05;
inline constexpr std::uint8_t kCommandReadFrequency = 0x06;
inline constexpr std::uint8_t kCommandWriteFrequency = 0x07;
inline constexpr std::uint8_t kCommandSignal = 0x0A;
inline constexpr std::uint8_t kCommandPoll = 0x0F;

inline constexpr std::size_t kCommandFrameLength = 2;
inline constexpr std::size_t kFrequencyFrameLength = 6;

inline constexpr std::size_t kShortReplyLength = 8;
inline constexpr std::size_t kNameReplyLength = 51;
inline constexpr std::size_t kDateReplyLength = 16;

// The poll's answer: byte 0 is the marker of a data reply, which carries eight bytes of the
// receiver's memory; an idle answer has the same length and is all 0x00.
inline constexpr std::uint8_t kDataReplyMarker = 0xFA;
inline constexpr std::size_t kDataReplyLength = 12;
inline constexpr int kDataBytesPerReply = 8;

// The length of the frame that command `code` starts.
constexpr std::size_t FrameLength(std::uint8_t code) {
    return code == kCommandWriteFrequency ? kFrequencyFrameLength : kCommandFrameLength;
}

// The fixed reply length of command `code`; 0 for the poll and for codes the receiver does
// not know.
constexpr std::size_t ReplyLength(std::uint8_t code) {
    switch (code) {
        case kCommandName:
            return kNameReplyLength;
        case kCommandDate:
            return kDateReplyLength;
        case kCommandVersion:
        case kCommandStatus:
        case kCommandReadFrequency:
        case kCommandWriteFrequency:
        case kCommandSignal:
            return kShortReplyLength;
        default:
            return 0;
    }
}

// The frame of a command without data.
constexpr std::array<std::uint8_t, kCommandFrameLength> CommandFrame(std::uint8_t code) {
    return {kCommandEscape, code};
}

// The frame that tunes the receiver to `hertz`.
constexpr std::array<std::uint8_t, kFrequencyFrameLength> FrequencyFrame(std::int32_t hertz) {
    const auto u = std::bit_cast<std::uint32_t>(hertz);
    return {kCommandEscape,
            kCommandWriteFrequency,
            static_cast<std::uint8_t>(u >> 24),
            static_cast<std::uint8_t>(u >> 16),
            static_cast<std::uint8_t>(u >> 8),
            static_cast<std::uint8_t>(u)};
}

}  // namespace orvanrx
