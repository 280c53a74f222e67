#include "core/StorableText.h"

#include "core/CodePage1252.h"

using namespace Qt::StringLiterals;

namespace StorableText {

namespace {

QString fieldName(std::optional<Entry::Field> field)
{
    if (!field) {
        return u"The master password"_s;
    }
    switch (*field) {
    case Entry::Username:
        return u"The username"_s;
    case Entry::Password:
        return u"The password"_s;
    case Entry::Location:
        return u"The website"_s;
    }
    return {};
}

// `entryField` is empty for the master password: line 1 holds it alone, so only the separators of entry lines are
// not its concern.
std::optional<QString> whyNotIn(const QString &text, std::optional<Entry::Field> entryField)
{
    const QString field = fieldName(entryField);
    if (entryField && text.contains(u"|||"_s)) {
        return field + u" can not contain \"|||\", which the vault file uses between fields."_s;
    }
    if (text.contains(u'\r') || text.contains(u'\n')) {
        return field + u" can not contain a line break."_s;
    }
    if (entryField && *entryField != Entry::Location && text.endsWith(u'|')) {
        return field + u" can not end with \"|\"."_s;
    }
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == 0x8D) {
            return field + u" can not contain the control character U+008D."_s;
        }
        if (CodePage1252::toByte(c) < 0) {
            const QString shown = text[i].isSurrogate() && i + 1 < text.size() ? text.mid(i, 2) : text.mid(i, 1);
            return field + u" can not contain the character \"%1\": the vault file holds only Western European "
                           u"(Windows-1252) characters."_s.arg(shown);
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<QString> whyNot(const QString &text, Entry::Field field)
{
    return whyNotIn(text, field);
}

std::optional<QString> whyNotMasterPassword(const QString &text)
{
    return whyNotIn(text, std::nullopt);
}

} // namespace StorableText
