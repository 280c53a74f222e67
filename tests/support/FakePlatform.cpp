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

void FakeOpener::openLocation(const QUrl &address)
{
    if (failToStart) {
        report(Request::Location, address, u"error 2: No such file or directory"_s);
        return;
    }
    locations.append(address);
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
