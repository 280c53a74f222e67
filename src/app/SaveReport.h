#pragma once

class MessageBoxes;
class QDateTime;
class QLocale;
class QString;
class QWidget;

// What the user is told of a write of the vault: the status text of a confirmed save, and the message boxes for one
// that did not end as a confirmed save. The change stays in the list either way, and the next save writes it.
namespace SaveReport {

// "Saved " and the date and time in the user's general format: short date, a blank, long time (no time zone).
// The year always has four digits, in the place and with the separators the user's short date gives it.
QString savedStatusText(const QDateTime &when, const QLocale &locale);

// Nothing on disk changed.
void showFailure(MessageBoxes &messages, QWidget *parent, const QString &error);

// The vault file holds the change, but the disk did not confirm it: a power cut could still lose it.
void showNotConfirmed(MessageBoxes &messages, QWidget *parent, const QString &error);

} // namespace SaveReport
