#include "core/Entry.h"

#include "core/CodePage1252.h"

namespace {
constexpr QByteArrayView Separator("|||");
}

Entry::Entry() : line_(QByteArrayLiteral("||||||")) {}

Entry Entry::fromPlainLine(QByteArray line)
{
    const auto size = quint32(line.size());
    const qsizetype first = QByteArrayView(line).indexOf(Separator);
    const qsizetype second = first < 0 ? -1 : QByteArrayView(line).indexOf(Separator, first + Separator.size());
    Entry e;
    e.usernameEnd_ = first < 0 ? size : quint32(first);
    e.passwordStart_ = first < 0 ? size : quint32(first + Separator.size());
    e.passwordEnd_ = second < 0 ? size : quint32(second);
    e.locationStart_ = second < 0 ? size : quint32(second + Separator.size());
    e.line_ = std::move(line);
    return e;
}

Entry Entry::fromFields(QByteArrayView username, QByteArrayView password, QByteArrayView location)
{
    Entry e;
    e.line_.clear();
    e.line_.reserve(username.size() + password.size() + location.size() + 2 * Separator.size());
    e.line_.append(username).append(Separator).append(password).append(Separator).append(location);
    e.usernameEnd_ = quint32(username.size());
    e.passwordStart_ = quint32(e.usernameEnd_ + Separator.size());
    e.passwordEnd_ = quint32(e.passwordStart_ + password.size());
    e.locationStart_ = quint32(e.passwordEnd_ + Separator.size());
    return e;
}

Entry Entry::fromText(const QString &username, const QString &password, const QString &location)
{
    QByteArray u, p, l;
    CodePage1252::fromUnicode(username, u);
    CodePage1252::fromUnicode(password, p);
    CodePage1252::fromUnicode(location, l);
    return fromFields(u, p, l);
}

QByteArrayView Entry::field(Field f) const
{
    const QByteArrayView all(line_);
    switch (f) {
    case Username:
        return all.first(usernameEnd_);
    case Password:
        return all.sliced(passwordStart_, passwordEnd_ - passwordStart_);
    case Location:
        return all.sliced(locationStart_);
    }
    return {};
}

QString Entry::text(Field f) const
{
    return CodePage1252::toUnicode(field(f));
}
