#pragma once

#include "core/Entry.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTest>

#include <algorithm>
#include <array>
#include <vector>

// The tests' own picture of a vault: the entries as plain field bytes, and the file they must give, encoded here
// from the format's rules (each byte's top bit flipped, CR LF after every line, one more CR LF at the end) rather
// than by the program's writer; and the reading and writing of files that the vault tests share.
namespace ReferenceVault {

using Fields = std::array<QByteArray, 3>; // user name, password, location
using Entries = std::vector<Fields>;

inline QByteArray file(QByteArrayView masterPassword, const Entries &entries)
{
    qsizetype size = masterPassword.size() + 4;
    for (const Fields &f : entries) {
        size += f[0].size() + f[1].size() + f[2].size() + 8;
    }
    QByteArray out(size, Qt::Uninitialized);
    char *p = out.data();
    const auto put = [&p](QByteArrayView plain) {
        for (const char c : plain) {
            *p++ = char(static_cast<unsigned char>(c) ^ 0x80);
        }
    };
    const auto endLine = [&p] {
        *p++ = '\r';
        *p++ = '\n';
    };
    put(masterPassword);
    endLine();
    for (const Fields &f : entries) {
        put(f[0]);
        put("|||");
        put(f[1]);
        put("|||");
        put(f[2]);
        endLine();
    }
    endLine();
    return out;
}

// Line 1 of a vault file, deciphered: the master password.
inline QByteArray passwordLineOf(QByteArrayView file)
{
    QByteArray out;
    for (qsizetype i = 0; i < file.size() && file[i] != '\r'; ++i) {
        out.append(char(static_cast<unsigned char>(file[i]) ^ 0x80));
    }
    return out;
}

// `count` entries of about 70 bytes each, different for every `tag`, with Windows-1252 letters in them.
inline Entries sampleEntries(qsizetype count, QByteArrayView tag = "a")
{
    Entries out;
    out.reserve(size_t(count));
    for (qsizetype i = 0; i < count; ++i) {
        const QByteArray n = tag.toByteArray() + QByteArray::number(i);
        out.push_back({"user-" + n, "pw-" + n + "-\xe9\xe8\xdf", "https://www.example-" + n + ".test/login"});
    }
    return out;
}

inline Fields fieldsOf(const Entry &e)
{
    return {e.field(Entry::Username).toByteArray(), e.field(Entry::Password).toByteArray(),
            e.field(Entry::Location).toByteArray()};
}

inline Entries fieldsOf(const std::vector<Entry> &entries)
{
    Entries out;
    out.reserve(entries.size());
    for (const Entry &e : entries) {
        out.push_back(fieldsOf(e));
    }
    return out;
}

inline Entry entryOf(const Fields &f)
{
    return Entry::fromFields(f[0], f[1], f[2]);
}

inline std::vector<Entry> entriesOf(const Entries &fields)
{
    std::vector<Entry> out;
    out.reserve(fields.size());
    for (const Fields &f : fields) {
        out.push_back(entryOf(f));
    }
    return out;
}

// Where two lists of entries first differ, for a failure message; empty when they are equal.
inline QString firstDifference(const Entries &actual, const Entries &expected)
{
    const size_t n = std::min(actual.size(), expected.size());
    for (size_t i = 0; i < n; ++i) {
        if (actual[i] != expected[i]) {
            return QStringLiteral("row %1 is %2|%3|%4, expected %5|%6|%7")
                .arg(i)
                .arg(QString::fromLatin1(actual[i][0]), QString::fromLatin1(actual[i][1]),
                     QString::fromLatin1(actual[i][2]), QString::fromLatin1(expected[i][0]),
                     QString::fromLatin1(expected[i][1]), QString::fromLatin1(expected[i][2]));
        }
    }
    if (actual.size() != expected.size()) {
        return QStringLiteral("%1 rows, expected %2").arg(actual.size()).arg(expected.size());
    }
    return {};
}

// A file that cannot be read gives a text that no vault holds, so that it never passes for an empty file.
// A new folder inside `parent` for every test and data row, on the disk the parent lives on (chattr needs a real
// file system), and the vault's path in it.
inline bool newVaultFolder(const QString &parent, QString &folder, QString &vaultPath)
{
    static int serial = 0;
    folder = parent + QStringLiteral("/") + QString::number(++serial);
    vaultPath = folder + QStringLiteral("/data.enc");
    return QDir().mkpath(folder);
}

inline QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArrayLiteral("<unreadable>");
}

inline bool writeFile(const QString &path, QByteArrayView bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes.data(), bytes.size()) == bytes.size();
}

// Every name in the folder, hidden ones included: a failed save must leave none behind.
inline QStringList namesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// What an interrupted save may have left beside the vault.
inline QStringList leftovers(const QString &vaultPath)
{
    const QFileInfo vault(vaultPath);
    return vault.absoluteDir().entryList({vault.fileName() + QStringLiteral(".saving-*")},
                                         QDir::Files | QDir::Hidden | QDir::System);
}

} // namespace ReferenceVault

// How QCOMPARE shows a list of entries: user name|password|location, one after the other.
inline char *toString(const ReferenceVault::Entries &entries)
{
    QByteArrayList rows;
    for (const ReferenceVault::Fields &f : entries) {
        rows.append(f[0] + '|' + f[1] + '|' + f[2]);
    }
    return QTest::toString(rows.join(", "));
}
