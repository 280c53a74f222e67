#include "platform/SecretClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

using namespace Qt::StringLiterals;

namespace SecretClipboard {

void setText(const QString &text)
{
    auto *data = new QMimeData;
    data->setText(text);
    data->setData(u"x-kde-passwordManagerHint"_s, QByteArrayLiteral("secret"));
    QGuiApplication::clipboard()->setMimeData(data);
}

} // namespace SecretClipboard
