#pragma once

#include "core/Entry.h"

#include <QByteArray>

#include <vector>

// The bytes of the vault file. Line 1 is the enciphered master password (empty: none created yet); every later
// line is one enciphered entry. Lines that this program writes end with CR LF; a full save ends the file with
// one more CR LF.
namespace VaultFormat {

// Line 1, still enciphered. A line ends at CR LF or a lone CR; a lone LF is content.
QByteArrayView firstLine(QByteArrayView file);

// The entries of a whole file: its lines after the first, but for those that are empty or a single space, as stored.
// The bytes are deciphered in place and the entries keep referring to them (see Entry.h): hand the file over with
// std::move where it is not needed any more, and it is never copied.
std::vector<Entry> parse(QByteArray file);

// A new vault without a master password: one empty line.
QByteArray emptyVault();

// The file right after the master password was created: the password line alone.
QByteArray passwordOnly(QByteArrayView masterPassword);

// A full save: the password line, one line per entry in the given order, then one more CR LF.
QByteArray serialize(QByteArrayView masterPassword, const std::vector<Entry> &entries);

} // namespace VaultFormat
