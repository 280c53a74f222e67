#include "ui/KeptValue.h"

#include "core/BoundedText.h"
#include "core/EntryListModel.h"

#include <QLabel>
#include <QLineEdit>
#include <QLocale>

using namespace Qt::StringLiterals;

namespace {

// The property of a box that holds its whole value while the box shows the start.
constexpr char KeptProperty[] = "keptValue";

QString sentence(const QStringList &fieldNames)
{
    const bool one = fieldNames.size() == 1;
    QStringList named;
    for (const QString &name : fieldNames) {
        named.append(u"the "_s + name);
    }
    QString which =
        named.size() > 1 ? named.mid(0, named.size() - 1).join(u", "_s) + u" and "_s + named.last() : named.value(0);
    which[0] = which[0].toUpper();
    return which + (one ? u" is too long to edit here. Save keeps it as it is."_s
                        : u" are too long to edit here. Save keeps them as they are."_s);
}

} // namespace

namespace KeptValue {

bool put(QLineEdit *box, const QString &value)
{
    if (value.size() <= EditableLength) {
        box->setText(value);
        return false;
    }
    box->setProperty(KeptProperty, value);
    box->setReadOnly(true);
    box->setText(BoundedText::of(value, EntryListModel::ShownLength));
    return true;
}

QString textOf(const QLineEdit *box)
{
    const QVariant kept = box->property(KeptProperty);
    return kept.isValid() ? kept.toString() : box->text();
}

void explain(QWidget *dialog, const QStringList &fieldNames, QRect geometry)
{
    if (fieldNames.isEmpty()) {
        return;
    }
    const QString text = sentence(fieldNames);
    auto *notice = new QLabel(text, dialog);
    notice->setObjectName(u"keptValueNotice"_s);
    notice->setAccessibleName(text);
    notice->setTextFormat(Qt::PlainText);
    notice->setWordWrap(true);
    notice->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    notice->setGeometry(geometry);
    for (QLineEdit *box : dialog->findChildren<QLineEdit *>()) {
        if (box->property(KeptProperty).isValid()) {
            const QString length = QLocale().toString(textOf(box).size());
            box->setToolTip(text + u" (%1 characters)"_s.arg(length));
            box->setAccessibleDescription(box->toolTip());
        }
    }
}

} // namespace KeptValue
