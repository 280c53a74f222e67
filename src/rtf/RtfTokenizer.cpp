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

constexpr int hexValue(char c)
{
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

RtfToken RtfTokenizer::next()
{
    RtfToken token;
    const qsizetype size = m_input.size();
    if (m_position >= size)
        return token;

    const char c = m_input[m_position];
    if (c == '{') {
        ++m_position;
        token.kind = RtfToken::Kind::GroupStart;
        return token;
    }
    if (c == '}') {
        ++m_position;
        token.kind = RtfToken::Kind::GroupEnd;
        return token;
    }
    if (c == '\\') {
        ++m_position;
        return readControl();
    }

    const qsizetype start = m_position;
    while (m_position < size) {
        const char t = m_input[m_position];
        if (t == '{' || t == '}' || t == '\\')
            break;
        ++m_position;
    }
    token.kind = RtfToken::Kind::Text;
    token.word = m_input.sliced(start, m_position - start);
    return token;
}

RtfToken RtfTokenizer::readControl()
{
    RtfToken token;
    const qsizetype size = m_input.size();
    // A backslash as the very last byte escapes nothing.
    if (m_position >= size)
        return token;

    const char first = m_input[m_position];
    if (!isLetter(first)) {
        ++m_position;
        if (first == '\'') {
            const int high = m_position < size ? hexValue(m_input[m_position]) : -1;
            const int low = m_position + 1 < size ? hexValue(m_input[m_position + 1]) : -1;
            if (high >= 0 && low >= 0) {
                m_position += 2;
                token.kind = RtfToken::Kind::HexByte;
                token.byte = uchar(high * 16 + low);
                return token;
            }
            // A cut-off escape: drop the one hex digit it has and let the reader ignore it.
            if (high >= 0)
                ++m_position;
        }
        token.kind = RtfToken::Kind::ControlSymbol;
        token.symbol = (first == '\r') ? '\n' : first;
        return token;
    }

    const qsizetype start = m_position;
    while (m_position < size && isLetter(m_input[m_position]))
        ++m_position;
    token.kind = RtfToken::Kind::ControlWord;
    token.word = m_input.sliced(start, m_position - start);

    bool negative = false;
    if (m_position + 1 < size && m_input[m_position] == '-' && isDigit(m_input[m_position + 1])) {
        negative = true;
        ++m_position;
    }
    if (m_position < size && isDigit(m_input[m_position])) {
        // Accumulate in 64 bits and stop growing once past the int range; the rest of a long number is
        // still consumed so that its digits do not turn into text.
        constexpr qint64 cap = qint64(std::numeric_limits<int>::max()) + 1;
        qint64 value = 0;
        while (m_position < size && isDigit(m_input[m_position])) {
            if (value <= cap)
                value = value * 10 + (m_input[m_position] - '0');
            ++m_position;
        }
        if (negative)
            value = -value;
        token.hasParameter = true;
        token.parameter =
            int(qBound(qint64(std::numeric_limits<int>::min()), value, qint64(std::numeric_limits<int>::max())));
    }
    // One space ends a control word and belongs to it.
    if (m_position < size && m_input[m_position] == ' ')
        ++m_position;
    return token;
}

void RtfTokenizer::skipBinary(qint64 count)
{
    if (count <= 0)
        return;
    const qint64 remaining = m_input.size() - m_position;
    m_position += qsizetype(qMin(count, remaining));
}
