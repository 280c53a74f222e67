#pragma once

#include <QByteArrayView>
#include <QLocale>

#include <algorithm>
#include <array>
#include <cstdint>

// The order in which the entry list sorts texts: alphabetical in the user's locale, letter case ignored. Every
// stored character is one Windows-1252 byte, so the order reduces to a weight per byte, worked out once by
// collating all 256 characters; comparing two fields is then a walk over their bytes.
class TextOrder final {
public:
    explicit TextOrder(const QLocale &locale = QLocale::system());

    // Negative, zero or positive as a sorts before, with, or after b.
    int compare(QByteArrayView a, QByteArrayView b) const;

    // How many bytes a key() stands for.
    static constexpr qsizetype KeyLength = 8;

    // The weights of the text's KeyLength bytes from `offset`, packed into a number with the first one highest, and
    // zero where the text ended: comparing two keys as numbers agrees with compare() as far as they reach, so that
    // sorting compares these and reads the bytes only on a tie.
    std::uint64_t key(QByteArrayView text, qsizetype offset = 0) const
    {
        const qsizetype have = std::min(text.size() - offset, KeyLength);
        if (have <= 0) {
            return 0;
        }
        std::uint64_t key = 0;
        const auto *at = reinterpret_cast<const unsigned char *>(text.data()) + offset;
        if (have == KeyLength) {
            // The whole chunk: a loop of fixed length, which the compiler unrolls into eight loads.
            for (qsizetype i = 0; i < KeyLength; ++i) {
                key |= std::uint64_t(weights_[at[i]]) << (8 * (KeyLength - 1 - i));
            }
        } else {
            for (qsizetype i = 0; i < have; ++i) {
                key |= std::uint64_t(weights_[at[i]]) << (8 * (KeyLength - 1 - i));
            }
        }
        return key;
    }

private:
    std::array<std::uint8_t, 256> weights_{};
};
