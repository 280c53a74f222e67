#include "core/BoundedText.h"

#include <algorithm>

namespace BoundedText {

QString of(QStringView text, qsizetype length)
{
    if (text.size() <= length) {
        return text.toString();
    }
    qsizetype cut = std::max<qsizetype>(length, 0);
    if (cut > 0 && text[cut - 1].isHighSurrogate()) {
        --cut;
    }
    QString out;
    out.reserve(cut + 1);
    out.append(text.first(cut)).append(u'\u2026');
    return out;
}

} // namespace BoundedText
