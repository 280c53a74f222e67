#pragma once

#include <QString>

// The clipboard as the program fills it: plain text, marked for clipboard managers as a secret that their history
// must not keep.
namespace SecretClipboard {

void setText(const QString &text);

} // namespace SecretClipboard
