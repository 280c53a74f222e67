// libFuzzer target for the vault file format. Every input is read as a vault file, and what a save would write of
// it must read back as the same master password and the same entries, their fields equal, and a second save must
// write the same bytes again. Each entry's fields must lie inside its line, in order.
//
// The same input is also taken as three fields and a master password, separated by 0x1F bytes: whatever the
// storage rules accept must come back unchanged from a saved file.

#include "core/CodePage1252.h"
#include "core/Entry.h"
#include "core/HighBitCipher.h"
#include "core/StorableText.h"
#include "core/VaultFormat.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

constexpr Entry::Field Fields[] = {Entry::Username, Entry::Password, Entry::Location};

void checkFieldsInsideLine(const Entry &e)
{
    const QByteArrayView line(e.plainLine());
    const char *end = line.data() + line.size();
    const char *previousEnd = line.data();
    for (const Entry::Field f : Fields) {
        const QByteArrayView field = e.field(f);
        check(field.size() >= 0);
        check(field.data() >= previousEnd && field.data() + field.size() <= end);
        previousEnd = field.data() + field.size();
    }
    // The location runs to the end of the line.
    check(previousEnd == end);
}

bool sameFields(const Entry &a, const Entry &b)
{
    for (const Entry::Field f : Fields) {
        if (a.field(f) != b.field(f)) {
            return false;
        }
    }
    return true;
}

// Line 1 of a vault file, deciphered: the master password.
QByteArray passwordOf(QByteArrayView file)
{
    const QByteArrayView line = VaultFormat::firstLine(file);
    QByteArray password(line.size(), Qt::Uninitialized);
    HighBitCipher::toggleInto(line.data(), password.data(), line.size());
    return password;
}

void roundTripFile(QByteArrayView file)
{
    const std::vector<Entry> read = VaultFormat::parse(file.toByteArray());
    const QByteArray password = passwordOf(file);
    for (const Entry &e : read) {
        checkFieldsInsideLine(e);
        check(!e.plainLine().isEmpty());
    }

    const QByteArray saved = VaultFormat::serialize(password, read);
    const std::vector<Entry> again = VaultFormat::parse(saved);
    check(passwordOf(saved) == password);
    check(again.size() == read.size());
    for (size_t i = 0; i < read.size(); ++i) {
        check(again[i].plainLine() == read[i].plainLine());
        check(sameFields(again[i], read[i]));
    }
    check(VaultFormat::serialize(password, again) == saved);
}

void roundTripFields(QByteArrayView input)
{
    QByteArrayView pieces[4];
    int count = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= input.size() && count < 4; ++i) {
        if (i == input.size() || input[i] == '\x1F') {
            pieces[count++] = input.sliced(start, i - start);
            start = i + 1;
        }
    }
    if (count < 4) {
        return;
    }
    const QString username = CodePage1252::toUnicode(pieces[0]);
    const QString password = CodePage1252::toUnicode(pieces[1]);
    const QString location = CodePage1252::toUnicode(pieces[2]);
    const QString master = CodePage1252::toUnicode(pieces[3]);
    if (StorableText::whyNot(username, Entry::Username) || StorableText::whyNot(password, Entry::Password) ||
        StorableText::whyNot(location, Entry::Location) || StorableText::whyNotMasterPassword(master)) {
        return;
    }
    QByteArray masterBytes;
    check(CodePage1252::fromUnicode(master, masterBytes));

    // Created password, then a full save with the entry.
    const QByteArray created = VaultFormat::passwordOnly(masterBytes);
    check(passwordOf(created) == masterBytes && VaultFormat::parse(created).empty());

    const Entry entry = Entry::fromText(username, password, location);
    const QByteArray saved = VaultFormat::serialize(masterBytes, {entry});
    check(passwordOf(saved) == masterBytes);
    const std::vector<Entry> read = VaultFormat::parse(saved);
    check(read.size() == 1);
    check(read[0].text(Entry::Username) == username);
    check(read[0].text(Entry::Password) == password);
    check(read[0].text(Entry::Location) == location);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView input(reinterpret_cast<const char *>(data), qsizetype(size));
    roundTripFile(input);
    roundTripFields(input);
    return 0;
}
