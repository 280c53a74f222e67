#include "ui/SecretTextBox.h"

#include "platform/SecretClipboard.h"

#include <QLineEdit>

namespace SecretTextBox {

void guard(QLineEdit *box)
{
    SecretClipboard::guard(
        box, [box](const QString &text) { return box->hasSelectedText() && text == box->selectedText(); });
}

} // namespace SecretTextBox
