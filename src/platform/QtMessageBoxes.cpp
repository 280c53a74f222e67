#include "platform/QtMessageBoxes.h"

#include "platform/SecretClipboard.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// A message quotes what the user typed or the disk reported, which may be any length; the box must still fit the
// screen with its buttons in reach. A line keeps its start and its end (two paths or addresses often differ only
// at one end); of many lines, the first ones and the last ones stay.
constexpr qsizetype LineLength = 300;
// A box wraps its text into rows of about this many characters, fewer of the widest letters.
constexpr qsizetype RowLength = 50;
constexpr qsizetype HeadRows = 20;
constexpr qsizetype TailRows = 8;

QString shortenedLine(QStringView line)
{
    if (line.size() <= LineLength) {
        return line.toString();
    }
    QStringView head = line.first(LineLength / 2);
    QStringView tail = line.last(LineLength / 2 - 1);
    if (head.back().isHighSurrogate()) {
        head.chop(1);
    }
    if (tail.front().isLowSurrogate()) {
        tail = tail.sliced(1);
    }
    QString out;
    out.reserve(head.size() + 1 + tail.size());
    out.append(head).append(u'\u2026').append(tail);
    return out;
}

qsizetype rowsOf(const QString &line)
{
    return std::max<qsizetype>(1, (line.size() + RowLength - 1) / RowLength);
}

QString boundedMessage(const QString &text)
{
    QStringList lines;
    for (const QStringView line : QStringView(text).split(u'\n')) {
        lines.append(shortenedLine(line));
    }
    qsizetype rows = 0;
    for (const QString &line : std::as_const(lines)) {
        rows += rowsOf(line);
    }
    if (rows <= HeadRows + 1 + TailRows) {
        return lines.join(u'\n');
    }
    qsizetype headLines = 0;
    for (qsizetype used = 0; used + rowsOf(lines[headLines]) <= HeadRows; ++headLines) {
        used += rowsOf(lines[headLines]);
    }
    qsizetype tailLines = 0;
    for (qsizetype used = 0; used + rowsOf(lines[lines.size() - 1 - tailLines]) <= TailRows; ++tailLines) {
        used += rowsOf(lines[lines.size() - 1 - tailLines]);
    }
    return (lines.first(headLines) + QStringList{u"\u2026"_s} + lines.last(tailLines)).join(u'\n');
}

// A key held down repeats. The stroke that opened the box belongs to the window below it; its repeats must not
// answer the question (a held Enter on Delete would otherwise confirm the deletion), so they are dropped while the
// box is up.
class HeldKeyGuard final : public QObject {
public:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) {
            return false;
        }
        const auto *key = static_cast<QKeyEvent *>(event);
        return key->isAutoRepeat();
    }
};

} // namespace

MessageBoxes::Answer QtMessageBoxes::show(QWidget *parent, const QString &text, const QString &title, Buttons buttons)
{
    // A window that is not on screen (the main window before the vault is open) gives the box no place: without
    // it the box stands in the middle of the screen.
    QMessageBox box(parent && parent->isVisible() ? parent : nullptr);
    box.setIcon(QMessageBox::NoIcon);
    box.setTextFormat(Qt::PlainText); // a password such as "<b>x" shows as typed
    const QString shown = boundedMessage(text);
    box.setText(shown);
    box.setWindowTitle(title.isEmpty() ? QString::fromLatin1(ApplicationTitle) : title);
    // The text is read from the box's label; as the box's description as well, a screen reader would say it twice.
    box.setAccessibleName(box.windowTitle());
    switch (buttons) {
    case Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
        break;
    case Buttons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    case Buttons::OkCancelByDefaultCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Cancel);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    case Buttons::RetryCancel:
        box.setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Retry);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    }
    // Above a topmost dialog too, like the dialog it answers.
    if (parent && parent->windowFlags().testFlag(Qt::WindowStaysOnTopHint)) {
        box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    }
    // A message may quote a password (the Delete question does). Where the style lets its text be selected, or
    // Ctrl+C copies it all (Windows), it is kept off the selection and marked as a secret, like every copy the
    // program makes.
    SecretClipboard::guard(
        &box, [&box](const QString &text) { return box.text().contains(text) || text.contains(box.text()); });
    HeldKeyGuard guard;
    qApp->installEventFilter(&guard);
    const int answer = box.exec();
    qApp->removeEventFilter(&guard);
    switch (answer) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Retry:
        return Answer::Retry;
    default:
        return Answer::Cancel;
    }
}
