#include "core/TextOrder.h"

#include "core/CodePage1252.h"

#include <QCollator>

#include <algorithm>
#include <numeric>

TextOrder::TextOrder(const QLocale &locale)
{
    QCollator collator(locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(false);

    std::array<QString, 256> texts;
    for (int b = 0; b < 256; ++b) {
        texts[b] = QString(QChar(CodePage1252::toUnicode(static_cast<unsigned char>(b))));
    }
    std::array<int, 256> order{};
    std::iota(order.begin(), order.end(), 0);
    // Characters that the collator holds equal (a and A) share a weight; the byte value breaks other ties so that
    // the order is total and stable across runs. Weight 0 is kept free: a shorter text sorts first.
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const int c = collator.compare(texts[a], texts[b]);
        return c != 0 ? c < 0 : a < b;
    });
    int weight = 1;
    for (int i = 0; i < 256; ++i) {
        if (i > 0 && collator.compare(texts[order[i - 1]], texts[order[i]]) != 0) {
            ++weight;
        }
        weights_[order[i]] = std::uint8_t(std::min(weight, 255));
    }
}

int TextOrder::compare(QByteArrayView a, QByteArrayView b) const
{
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const int d = int(weights_[static_cast<unsigned char>(a[i])]) - int(weights_[static_cast<unsigned char>(b[i])]);
        if (d != 0) {
            return d;
        }
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}
