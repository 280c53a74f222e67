#pragma once

#include <chrono>

// Copied text outlives the program where the desktop runs a clipboard manager: before the process ends, the
// manager is asked to take the clipboard's contents, every format the program offers (the secret mark included).
// Qt itself does this only while the application object is destroyed, which a program that ends at once never
// reaches. Without a manager, off X11, or when the clipboard is another program's, nothing is waited for.
namespace ClipboardHandover {

// Asks the manager to save the clipboard and serves its requests until it says it is done, for at most `limit`.
// Only the clipboard's traffic runs meanwhile: no timer, no input, no socket of the program.
void toManager(std::chrono::milliseconds limit);

} // namespace ClipboardHandover
