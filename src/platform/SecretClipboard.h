#pragma once

#include <QClipboard>
#include <QString>

#include <functional>
#include <optional>

class QObject;

// The clipboard as the program fills it: plain text, marked for clipboard managers as a secret that their history
// must not keep.
namespace SecretClipboard {

void setText(const QString &text);

// The text that this program holds on the clipboard or the selection (X11's PRIMARY) without the secret mark, put
// there by a widget of Qt's own (a text box's Ctrl+C, a message box's copy); nothing when it holds none.
std::optional<QString> unmarkedText(QClipboard::Mode mode);

// Keeps a secret that Qt's own widgets copy (a text box's selection, Ctrl+C, its context menu) off the X11
// selection (PRIMARY), which any program may read, and marks it on the clipboard, for as long as `owner` lives.
// `isSecret` tells such a text from others. Each fill is reported at once, before any other program can ask for
// it: the selection is given up again, and the clipboard's text is put back with the mark.
void guard(QObject *owner, std::function<bool(const QString &text)> isSecret);

} // namespace SecretClipboard
