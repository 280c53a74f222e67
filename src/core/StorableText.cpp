#include "core/StorableText.h"

#include "core/CodePage1252.h"

using namespace Qt::StringLiterals;

namespace StorableText {

namespace {

QString fieldName(Kind kind)
{
    switch (kind) {
    case Kind::Username:
        return u"The username"_s;
    case Kind::Password:
        return u"The password"_s;
    case Kind::Location:
        return u"The website"_s;
    case Kind::MasterPassword:
        return u"The master password"_s;
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

} // namespace

std::optional<QString> whyNot(const QString &text, Kind kind)
{
    const QString field = fieldName(kind);
    // Line 1 holds the master password alone, so only the separators of entry lines are its concern.
    const bool entryField = kind != Kind::MasterPassword;
    if (entryField && text.contains(u"|||"_s)) {
        return field + u" can not contain \"|||\", which the vault file uses between fields."_s;
    }
    if (text.contains(u'\r') || text.contains(u'\n')) {
        return field + u" can not contain a line break."_s;
    }
    if (entryField && kind != Kind::Location && text.endsWith(u'|')) {
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

} // namespace StorableText
