#pragma once

#include <QByteArrayView>
#include <QtGlobal>

// One lexical element of an RTF file. Views point into the input given to the tokenizer.
struct RtfToken {
    enum class Kind : quint8 {
        End,
        GroupStart,
        GroupEnd,
        ControlWord,   // word, with parameter when hasParameter
        ControlSymbol, // symbol: the character after the backslash; '\n' for a backslash before a line end
        HexByte,       // byte: the value of a \'hh escape
        Text,          // word: a run of plain bytes, line ends included
    };

    Kind kind = Kind::End;
    QByteArrayView word;
    int parameter = 0;
    bool hasParameter = false;
    char symbol = 0;
    uchar byte = 0;
};

// Splits RTF into tokens. Every call consumes at least one byte until the end, so reading a whole file is
// linear in its size whatever it holds; numbers of any length are clamped to the int range.
class RtfTokenizer final {
public:
    explicit RtfTokenizer(QByteArrayView input) : input_(input) {}
    Q_DISABLE_COPY_MOVE(RtfTokenizer)

    RtfToken next();

    // Skips the raw bytes of \binN, never past the end of the input, and returns them.
    QByteArrayView skipBinary(qint64 count);

    qsizetype position() const { return position_; }

    // The value of a hexadecimal digit, or -1 for any other byte.
    static constexpr int hexValue(char c)
    {
        if (c >= '0' && c <= '9') {
            return c - '0';
        }
        if (c >= 'a' && c <= 'f') {
            return c - 'a' + 10;
        }
        if (c >= 'A' && c <= 'F') {
            return c - 'A' + 10;
        }
        return -1;
    }

private:
    RtfToken readControl();

    QByteArrayView input_;
    qsizetype position_ = 0;
};
