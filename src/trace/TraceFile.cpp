#include "trace/TraceFile.h"

#include <QByteArrayView>
#include <QFile>
#include <charconv>
#include <limits>
#include <optional>

namespace orvanrx {

namespace {

constexpr std::size_t kMaxReplyBytes = 64;
constexpr std::string_view kBlanks = " \t";

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// Splits off the first blank-separated token of `text` (which starts with a non-blank).
std::string_view TakeToken(std::string_view& text) {
    std::size_t end = 0;
    while (end < text.size() && !IsBlank(text[end])) {
        ++end;
    }
    const std::string_view token = text.substr(0, end);
    text = Trim(text.substr(end));
    return token;
}

template <typename T>
std::optional<T> ParseNumber(std::string_view token, int base, T low, T high) {
    T value{};
    const char* end = token.data() + token.size();
    const auto [ptr, ec] = std::from_chars(token.data(), end, value, base);
    if (token.empty() || ec != std::errc{} || ptr != end || value < low || value > high) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::uint8_t> ParseHexByte(std::string_view token, std::size_t maxDigits) {
    if (token.empty() || token.size() > maxDigits || token.front() == '-' || token.front() == '+') {
        return std::nullopt;
    }
    const auto value = ParseNumber<unsigned>(token, 16, 0, 0xFF);
    if (!value) {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(*value);
}

std::string Quoted(std::string_view text) {
    std::string quoted(1, '\'');
    quoted.append(text);
    quoted.push_back('\'');
    return quoted;
}

// The step on one line (blank and comment lines excluded), or the reason it is none.
std::optional<trace::Step> ParseLine(std::string_view line, std::string& reason) {
    std::string_view rest = Trim(line);
    const std::size_t keywordEnd = rest.find_first_of(kBlanks);
    const std::string_view keyword = rest.substr(0, keywordEnd);

    if (keyword == "name" || keyword == "date" || keyword == "product") {
        // The text keeps every character after the one separator.
        const std::string_view afterKeyword = line.substr(line.find(keyword) + keyword.size());
        const std::string text(afterKeyword.empty() ? afterKeyword : afterKeyword.substr(1));
        if (keyword == "name") {
            return trace::Name{text};
        }
        if (keyword == "date") {
            return trace::Date{text};
        }
        return trace::Product{text};
    }

    const bool isKeyword = keyword == "idle" || keyword == "none" || keyword == "unplug" ||
                           keyword == "status" || keyword == "signal" || keyword == "frequency" ||
                           keyword == "version";
    if (!isKeyword) {
        if (!ParseHexByte(keyword, 2) || keyword.size() != 2) {
            reason = "unknown step " + Quoted(keyword) +
                     " (expected hex byte pairs or a keyword: idle, none, unplug, status, "
                     "signal, frequency, version, name, date, product)";
            return std::nullopt;
        }
        trace::Reply reply;
        while (!rest.empty()) {
            const std::string_view token = TakeToken(rest);
            const auto byte = ParseHexByte(token, 2);
            if (!byte || token.size() != 2) {
                reason = Quoted(token) + " is not a byte as two hex digits";
                return std::nullopt;
            }
            reply.bytes.push_back(*byte);
        }
        if (reply.bytes.size() > kMaxReplyBytes) {
            reason = "a reply holds 1 to 64 bytes, this one " + std::to_string(reply.bytes.size());
            return std::nullopt;
        }
        return reply;
    }

    TakeToken(rest);
    const std::string_view argument = rest.empty() ? std::string_view{} : TakeToken(rest);
    std::optional<int> afterFlushes;
    if (keyword == "unplug" && !argument.empty() && !rest.empty()) {
        const std::string_view after = TakeToken(rest);
        const std::string_view flushes = rest.empty() ? std::string_view{} : TakeToken(rest);
        afterFlushes = ParseNumber<int>(flushes, 10, 0, std::numeric_limits<int>::max());
        if (after != "after" || !afterFlushes || !rest.empty()) {
            reason =
                "unplug takes a count and then 'after' and a number of flushes from 0 to "
                "2147483647, not " +
                Quoted(Trim(line.substr(line.find(keyword) + keyword.size())));
            return std::nullopt;
        }
    }
    if (!rest.empty()) {
        reason = "unexpected " + Quoted(rest) + " after the " + std::string(keyword) + " value";
        return std::nullopt;
    }
    const bool given = !argument.empty();
    constexpr int kMaxCount = std::numeric_limits<int>::max();

    if (keyword == "idle" || keyword == "none" || keyword == "unplug") {
        const auto count = given ? ParseNumber<int>(argument, 10, 1, kMaxCount) : 1;
        if (!count) {
            reason = std::string(keyword) + " takes a count from 1 to 2147483647, not " +
                     Quoted(argument);
            return std::nullopt;
        }
        if (keyword == "idle") {
            return trace::Idle{*count};
        }
        if (keyword == "none") {
            return trace::None{*count};
        }
        return trace::Unplug{*count, afterFlushes.value_or(0)};
    }
    if (keyword == "status" || keyword == "version") {
        const auto byte = given ? ParseHexByte(argument, 2) : std::uint8_t{0};
        if (!byte) {
            reason =
                std::string(keyword) + " takes one byte in hex (00 to FF), not " + Quoted(argument);
            return std::nullopt;
        }
        if (keyword == "status") {
            return trace::Status{*byte};
        }
        return trace::Version{*byte};
    }
    if (keyword == "signal") {
        const auto raw =
            given ? ParseNumber<std::int16_t>(argument, 10, INT16_MIN, INT16_MAX) : std::int16_t{0};
        if (!raw) {
            reason = "signal takes a reading from -32768 to 32767, not " + Quoted(argument);
            return std::nullopt;
        }
        return trace::Signal{*raw};
    }
    const auto hertz = given ? ParseNumber<std::int32_t>(argument, 10, INT32_MIN, INT32_MAX)
                             : trace::Frequency{}.hertz;
    if (!hertz) {
        reason = "frequency takes hertz from -2147483648 to 2147483647, not " + Quoted(argument);
        return std::nullopt;
    }
    return trace::Frequency{*hertz};
}

std::string HexByte(std::uint8_t byte) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    return {kDigits[byte >> 4], kDigits[byte & 0x0F]};
}

// A text on one line: line breaks become blanks.
std::string OneLine(std::string text) {
    for (char& c : text) {
        if (c == '\n' || c == '\r') {
            c = ' ';
        }
    }
    return text;
}

std::string WithText(std::string_view keyword, const std::string& text) {
    return text.empty() ? std::string(keyword) : std::string(keyword) + " " + OneLine(text);
}

std::string FormatComment(const std::string& text) {
    std::string lines;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find('\n', start);
        std::string line = text.substr(start, end == std::string::npos ? end : end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines += line.empty() ? "#" : "# " + OneLine(line);
        if (end == std::string::npos) {
            return lines;
        }
        lines += '\n';
        start = end + 1;
    }
}

}  // namespace

TraceReadResult ReadTrace(std::string_view text) {
    TraceReadResult result;
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        text.remove_prefix(kByteOrderMark.size());
    }
    int lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        std::string reason;
        if (!QByteArrayView(line.data(), static_cast<qsizetype>(line.size())).isValidUtf8()) {
            reason = "not UTF-8 text";
        } else {
            const std::string_view trimmed = Trim(line);
            if (trimmed.empty() || trimmed.front() == '#') {
                continue;
            }
            if (std::optional<trace::Step> step = ParseLine(line, reason)) {
                result.steps.push_back(std::move(*step));
                continue;
            }
        }
        result.steps.clear();
        result.error = "line " + std::to_string(lineNumber) + ": " + reason;
        return result;
    }
    return result;
}

TraceReadResult ReadTraceFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        TraceReadResult result;
        result.error =
            "cannot read " + path.toStdString() + ": " + file.errorString().toStdString();
        return result;
    }
    const QByteArray bytes = file.readAll();
    return ReadTrace(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

std::string FormatTraceStep(const trace::Step& step) {
    struct Formatter {
        std::string operator()(const trace::Reply& s) const {
            std::string line;
            for (const std::uint8_t byte : s.bytes) {
                if (!line.empty()) {
                    line.push_back(' ');
                }
                line.append(HexByte(byte));
            }
            return line;
        }
        std::string operator()(const trace::Idle& s) const {
            return "idle " + std::to_string(s.count);
        }
        std::string operator()(const trace::None& s) const {
            return "none " + std::to_string(s.count);
        }
        std::string operator()(const trace::Unplug& s) const {
            if (s.afterFlushes != 0) {
                return "unplug " + std::to_string(s.ticks) + " after " +
                       std::to_string(s.afterFlushes);
            }
            return "unplug " + std::to_string(s.ticks);
        }
        std::string operator()(const trace::Status& s) const {
            return "status " + HexByte(s.flags);
        }
        std::string operator()(const trace::Signal& s) const {
            return "signal " + std::to_string(s.raw);
        }
        std::string operator()(const trace::Frequency& s) const {
            return "frequency " + std::to_string(s.hertz);
        }
        std::string operator()(const trace::Version& s) const {
            return "version " + HexByte(s.value);
        }
        std::string operator()(const trace::Name& s) const { return WithText("name", s.text); }
        std::string operator()(const trace::Date& s) const { return WithText("date", s.text); }
        std::string operator()(const trace::Product& s) const {
            return WithText("product", s.text);
        }
        std::string operator()(const trace::Comment& s) const { return FormatComment(s.text); }
    };
    return std::visit(Formatter{}, step);
}

std::string FormatTrace(std::span<const trace::Step> steps) {
    std::string text;
    for (const trace::Step& step : steps) {
        text += FormatTraceStep(step);
        text += '\n';
    }
    return text;
}

}  // namespace orvanrx
