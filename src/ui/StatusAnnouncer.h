#pragma once

#include <QWidget>

class QLabel;

// Tells a screen reader every text a status label is given, as a notification that appears: a status label's new
// text alone is a change of its name, which screen readers do not speak. The notification is a child of the label
// without size, so nothing changes on screen. What is spoken may differ from what the label shows (a copied password
// is shown, never read out), or come without a new label text at all (the order of a list just sorted).
class StatusAnnouncer final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(StatusAnnouncer)

public:
    // Announces `spoken` on behalf of the label, the same text again too. Texts announced one after another in one go
    // (a save's "Saved ..." and then the command's own outcome) are announced once, as the last one.
    static void announce(QLabel *label, const QString &spoken);

    ~StatusAnnouncer() override;

private:
    explicit StatusAnnouncer(QLabel *label);
    void appear();

    bool pending_ = false;
};
