#pragma once

class QLineEdit;

// A text box that shows a secret in clear. Selecting in it puts nothing on the X11 selection (PRIMARY), which any
// program may read, and what Copy or Cut takes from it (keys or context menu) goes to the clipboard marked as a
// secret, as the program's Copy commands do.
namespace SecretTextBox {

void guard(QLineEdit *box);

} // namespace SecretTextBox
