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
        bool doubled = false;
        while (pos_ < size && !IsLineEnd(pos_)) {
            if (data_[pos_] == '"') {
                if (pos_ + 1 < size && data_[pos_ + 1] == '"') {
                    doubled = true;
                    pos_ += 2;
                    continue;
                }
                break;
            }
            ++pos_;
        }
        end = pos_;
        if (pos_ < size && data_[pos_] == '"') {
            ++pos_;
            while (pos_ < size && data_[pos_] != ',' && !IsLineEnd(pos_)) {
                ++pos_;
            }
        }
        if (doubled) {
            // Each doubled quote inside the item stands for one quote.
            unquoted_.clear();
            for (qsizetype i = start; i < end; ++i) {
                unquoted_.append(data_[i]);
                if (data_[i] == '"') {
                    ++i;
                }
            }
            SkipDelimiter();
            return QByteArrayView(unquoted_);
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
