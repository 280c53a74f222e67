#pragma once

class MessageBoxes;
class QString;
class QWidget;

// The message boxes for a write of the vault that did not end as a confirmed save. The change stays in the list
// either way, and the next save writes it.
namespace SaveReport {

// Nothing on disk changed.
void showFailure(MessageBoxes &messages, QWidget *parent, const QString &error);

// The vault file holds the change, but the disk did not confirm it: a power cut could still lose it.
void showNotConfirmed(MessageBoxes &messages, QWidget *parent, const QString &error);

} // namespace SaveReport
