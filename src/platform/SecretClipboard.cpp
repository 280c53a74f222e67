#include "platform/SecretClipboard.h"

#include <QGuiApplication>
#include <QMimeData>

using namespace Qt::StringLiterals;

namespace {

const QString SecretHint = u"x-kde-passwordManagerHint"_s;

} // namespace

namespace SecretClipboard {

void setText(const QString &text)
{
    auto *data = new QMimeData;
    data->setText(text);
    data->setData(SecretHint, QByteArrayLiteral("secret"));
    QGuiApplication::clipboard()->setMimeData(data);
}

std::optional<QString> unmarkedText(QClipboard::Mode mode)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    // Only what this program owns: asking another program for its text would wait on it.
    const bool owned = mode == QClipboard::Selection ? clipboard->ownsSelection() : clipboard->ownsClipboard();
    const QMimeData *data = owned ? clipboard->mimeData(mode) : nullptr;
    if (!data || data->hasFormat(SecretHint) || !data->hasText()) {
        return std::nullopt;
    }
    return data->text();
}

void guard(QObject *owner, std::function<bool(const QString &text)> isSecret)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    QObject::connect(clipboard, &QClipboard::selectionChanged, owner, [clipboard, isSecret] {
        const auto text = unmarkedText(QClipboard::Selection);
        if (text && isSecret(*text)) {
            clipboard->clear(QClipboard::Selection);
        }
    });
    QObject::connect(clipboard, &QClipboard::dataChanged, owner, [isSecret] {
        const auto text = unmarkedText(QClipboard::Clipboard);
        if (text && isSecret(*text)) {
            setText(*text);
        }
    });
}

} // namespace SecretClipboard
