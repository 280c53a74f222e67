#pragma once

#include <QByteArray>
#include <QString>

#include <array>

// One stored credential: user name, password and website or location, in that order.
//
// The three fields are kept as their Windows-1252 bytes, joined by the separator "|||" exactly as the vault
// file holds the line before ciphering, so a save only has to cipher each line. An entry read from the vault holds
// its line as a part of the file's one deciphered buffer (see VaultFormat::parse), which stays in memory while any
// of them refers to it; an entry made from fields has a block of its own. Fields become text only when something
// shows or compares them.
class Entry final {
public:
    enum Field { Username = 0, Password = 1, Location = 2 };
    static constexpr int FieldCount = 3;

    // The furthest that a field can end in the line: ends are kept in 32 bits (see below).
    static constexpr qsizetype MaxEnd = 0xFFFF'FFFF;

    // Three empty fields.
    Entry();

    // Splits a deciphered vault line at "|||", left to right. A line with fewer than three pieces gets empty
    // fields for the missing ones; everything after the second separator is the location. The line itself is
    // kept as read, so that a save writes it back unchanged.
    static Entry fromPlainLine(QByteArray line);

    // Joins three fields. The caller has checked that they can be stored (see StorableText.h).
    static Entry fromFields(QByteArrayView username, QByteArrayView password, QByteArrayView location);
    static Entry fromText(const QString &username, const QString &password, const QString &location);

    QByteArrayView field(Field f) const;
    QString text(Field f) const;

    // The line as the file holds it before ciphering. It may be part of a larger buffer: no '\0' follows it.
    const QByteArray &plainLine() const { return line_; }

    friend bool operator==(const Entry &a, const Entry &b) { return a.line_ == b.line_; }

private:
    QByteArray line_;
    // Where the user name and the password end in line_. A separator follows each end unless the line ends there;
    // a field that the line lacks is the empty range at its end. Two numbers, not four, keep a million entries
    // eight megabytes smaller.
    quint32 usernameEnd_ = 0;
    quint32 passwordEnd_ = 3;
};
