#include "racelog/RaceLogItemReader.h"

namespace orvanrx {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

}  // namespace

bool RaceLogItemReader::AtEnd() const {
    for (qsizetype i = pos_; i < data_.size(); ++i) {
        if (!IsBlank(data_[i]) && !IsLineEnd(i)) {
            return false;
        }
    }
    return true;
}

void RaceLogItemReader::SkipDelimiter() {
    if (pos_ >= data_.size()) {
        return;
    }
    if (data_[pos_] == ',') {
        ++pos_;
    } else if (data_[pos_] == '\r') {
        ++pos_;
        if (pos_ < data_.size() && data_[pos_] == '\n') {
            ++pos_;
        }
    } else if (data_[pos_] == '\n') {
        ++pos_;
    }
}

std::optional<QString> RaceLogItemReader::NextItem() {
    const auto bytes = NextItemBytes();
    if (!bytes) {
        return std::nullopt;
    }
    return bytes->isEmpty() ? QString() : QString::fromLatin1(bytes->data(), bytes->size());
}

std::optional<QByteArrayView> RaceLogItemReader::NextItemBytes() {
    const qsizetype size = data_.size();
    while (pos_ < size && IsBlank(data_[pos_])) {
        ++pos_;
    }
    if (pos_ >= size) {
        return std::nullopt;
    }

    qsizetype start = pos_;
    qsizetype end = pos_;
    if (data_[pos_] == '"') {
        start = ++pos_;
        while (pos_ < size && data_[pos_] != '"' && !IsLineEnd(pos_)) {
            ++pos_;
        }
        end = pos_;
        if (pos_ < size && data_[pos_] == '"') {
            ++pos_;
            while (pos_ < size && data_[pos_] != ',' && !IsLineEnd(pos_)) {
                ++pos_;
            }
        }
    } else {
        while (pos_ < size && data_[pos_] != ',' && !IsLineEnd(pos_)) {
            ++pos_;
        }
        end = pos_;
    }
    SkipDelimiter();
    return data_.sliced(start, end - start);
}

}  // namespace orvanrx
