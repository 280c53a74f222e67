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
            const QString shown = text[i].isSurrogate() && i + 1 < text.size() ? text.mid(i, 2) : text.mid(i, 1);
            return field + u" can not contain the character \"%1\": the vault file holds only Western European "
                           u"(Windows-1252) characters."_s.arg(shown);
        }
    }
    return std::nullopt;
}

} // namespace StorableText
