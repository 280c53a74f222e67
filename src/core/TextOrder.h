#pragma once

#include <QByteArrayView>
#include <QLocale>

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

    // The first eight weights packed so that comparing two keys as numbers agrees with compare() as far as they
    // reach; sorting compares these first and reads the bytes only on a tie.
    std::uint64_t prefixKey(QByteArrayView text) const;

    std::uint8_t weight(unsigned char byte) const { return weights_[byte]; }

private:
    std::array<std::uint8_t, 256> weights_{};
};
