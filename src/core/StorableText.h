#pragma once

#include "core/Entry.h"

#include <QString>

#include <optional>

// What the vault file can hold. A field must not contain the separator "|||" or a line break, a user name or
// password must not end with "|" (the next field's separator would swallow it), and every character needs a
// Windows-1252 byte; U+008D has one, but that byte ends a line once enciphered.
namespace StorableText {

// Why the text cannot be stored in the field, for a message that names the field; nothing when it can.
std::optional<QString> whyNot(const QString &text, Entry::Field field);

// The same for a new master password, which line 1 holds alone.
std::optional<QString> whyNotMasterPassword(const QString &text);

} // namespace StorableText
