#include "rtf/RtfTokenizer.h"

#include <limits>

namespace {

constexpr bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
constexpr bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

RtfToken RtfTokenizer::next()
{
    RtfToken token;
    const qsizetype size = input_.size();
    if (position_ >= size) {
        return token;
    }

    const char c = input_[position_];
    if (c == '{') {
        ++position_;
        token.kind = RtfToken::Kind::GroupStart;
        return token;
    }
    if (c == '}') {
        ++position_;
        token.kind = RtfToken::Kind::GroupEnd;
        return token;
    }
    if (c == '\\') {
        ++position_;
        return readControl();
    }

    const qsizetype start = position_;
    while (position_ < size) {
        const char t = input_[position_];
        if (t == '{' || t == '}' || t == '\\') {
            break;
        }
        ++position_;
    }
    token.kind = RtfToken::Kind::Text;
    token.word = input_.sliced(start, position_ - start);
    return token;
}

RtfToken RtfTokenizer::readControl()
{
    RtfToken token;
    const qsizetype size = input_.size();
    // A backslash as the very last byte escapes nothing.
    if (position_ >= size) {
        return token;
    }

    const char first = input_[position_];
    if (!isLetter(first)) {
        ++position_;
        if (first == '\'') {
            const int high = position_ < size ? hexValue(input_[position_]) : -1;
            const int low = position_ + 1 < size ? hexValue(input_[position_ + 1]) : -1;
            if (high >= 0 && low >= 0) {
                position_ += 2;
                token.kind = RtfToken::Kind::HexByte;
                token.byte = uchar(high * 16 + low);
                return token;
            }
            // A cut-off escape: drop the one hex digit it has and let the reader ignore it.
            if (high >= 0) {
                ++position_;
            }
        }
        token.kind = RtfToken::Kind::ControlSymbol;
        token.symbol = (first == '\r') ? '\n' : first;
        return token;
    }

    const qsizetype start = position_;
    while (position_ < size && isLetter(input_[position_])) {
        ++position_;
    }
    token.kind = RtfToken::Kind::ControlWord;
    token.word = input_.sliced(start, position_ - start);

    bool negative = false;
    if (position_ + 1 < size && input_[position_] == '-' && isDigit(input_[position_ + 1])) {
        negative = true;
        ++position_;
    }
    if (position_ < size && isDigit(input_[position_])) {
        // Accumulate in 64 bits and stop growing once past the int range; the rest of a long number is
        // still consumed so that its digits do not turn into text.
        constexpr qint64 cap = qint64(std::numeric_limits<int>::max()) + 1;
        qint64 value = 0;
        while (position_ < size && isDigit(input_[position_])) {
            if (value <= cap) {
                value = value * 10 + (input_[position_] - '0');
            }
            ++position_;
        }
        if (negative) {
            value = -value;
        }
        token.hasParameter = true;
        token.parameter =
            int(qBound(qint64(std::numeric_limits<int>::min()), value, qint64(std::numeric_limits<int>::max())));
    }
    // One space ends a control word and belongs to it.
    if (position_ < size && input_[position_] == ' ') {
        ++position_;
    }
    return token;
}

QByteArrayView RtfTokenizer::skipBinary(qint64 count)
{
    if (count <= 0) {
        return {};
    }
    const qint64 remaining = input_.size() - position_;
    const qsizetype start = position_;
    position_ += qsizetype(qMin(count, remaining));
    return input_.sliced(start, position_ - start);
}
