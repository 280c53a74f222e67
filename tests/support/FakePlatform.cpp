#include "support/FakePlatform.h"

using namespace Qt::StringLiterals;

MessageBoxes::Answer FakeMessageBoxes::show(QWidget *, const QString &text, const QString &title, Buttons buttons)
{
    const Shown s{text, title.isEmpty() ? QString::fromLatin1(ApplicationTitle) : title, buttons};
    shown.append(s);
    if (onShow) {
        onShow(s);
    }
    if (!answers.isEmpty()) {
        return answers.takeFirst();
    }
    return buttons == Buttons::RetryCancel ? Answer::Retry : Answer::Ok;
}

bool FakeOpener::openLocation(const QUrl &address, QString *error)
{
    if (failToStart) {
        if (error) {
            *error = u"No such file or directory"_s;
        }
        return false;
    }
    locations.append(address);
    return true;
}

QString FakeSettings::read(const QString &application, const QString &section, const QString &key,
                           const QString &defaultValue)
{
    const QString path = application + u'/' + section + u'/' + key;
    reads.append(path);
    return values.value(path, defaultValue);
}

void FakeSettings::write(const QString &application, const QString &section, const QString &key, const QString &value)
{
    const QString path = application + u'/' + section + u'/' + key;
    values.insert(path, value);
    writes.append(path + u'=' + value);
}
