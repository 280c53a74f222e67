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

// The character at `i` in quotes and, where it is not plain ASCII, with its code point: a Cyrillic "а" looks
// exactly like a Latin "a".
QString namedCharacter(const QString &text, qsizetype i)
{
    const bool pair = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
    const QString shown = text.mid(i, pair ? 2 : 1);
    const char32_t code = pair ? QChar::surrogateToUcs4(text[i], text[i + 1]) : text[i].unicode();
    if (code < 0x80) {
        return u"\""_s + shown + u'"';
    }
    return u"\"%1\" (U+%2)"_s.arg(shown, QString::number(uint(code), 16).toUpper().rightJustified(4, u'0'));
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
            return field + u" can not contain the character %1: the vault file holds only Western European "
                           u"(Windows-1252) characters."_s.arg(namedCharacter(text, i));
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
