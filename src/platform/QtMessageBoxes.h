#pragma once

#include "platform/Platform.h"

// Message boxes on Qt: QMessageBox without an icon, plain text bounded so that the box always fits the screen,
// above a topmost parent, and deaf to the repeats of a key held down when it opened.
class QtMessageBoxes final : public MessageBoxes {
public:
    Answer show(QWidget *parent, const QString &text, const QString &title, Buttons buttons) override;
};
