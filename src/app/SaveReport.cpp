#include "app/SaveReport.h"

#include "platform/Platform.h"

#include <QDateTime>
#include <QLocale>

using namespace Qt::StringLiterals;

namespace {

// The format with every run of `letter` outside quoted text replaced.
QString withFieldReplaced(const QString &format, char16_t letter, const QString &replacement)
{
    QString out;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format[i];
        if (c == u'\'') {
            quoted = !quoted;
        }
        if (quoted || c != letter) {
            out += c;
            ++i;
            continue;
        }
        while (i < format.size() && format[i] == letter) {
            ++i;
        }
        out += replacement;
    }
    return out;
}

// The locale's long time format without its time zone, which the status text does not show.
QString timeFormatWithoutZone(const QLocale &locale)
{
    return withFieldReplaced(locale.timeFormat(QLocale::LongFormat), u't', {}).simplified();
}

// The locale's short date format with every year in four digits: "12/6/26" could be read as another century.
QString dateFormatWithFullYear(const QLocale &locale)
{
    return withFieldReplaced(locale.dateFormat(QLocale::ShortFormat), u'y', u"yyyy"_s);
}

} // namespace

namespace SaveReport {

QString savedStatusText(const QDateTime &when, const QLocale &locale)
{
    return u"Saved "_s + locale.toString(when.date(), dateFormatWithFullYear(locale)) + u' ' +
           locale.toString(when.time(), timeFormatWithoutZone(locale));
}

void showFailure(MessageBoxes &messages, QWidget *parent, const QString &error)
{
    messages.show(parent, u"The vault could not be saved.\r\n\r\n"_s + error, {}, MessageBoxes::Buttons::Ok);
}

void showNotConfirmed(MessageBoxes &messages, QWidget *parent, const QString &error)
{
    messages.show(parent,
                  u"The vault was written, but the disk did not confirm that it holds it.\r\n\r\n"_s + error +
                      u"\r\n\r\nThe vault file holds the change, but it may not survive a power cut until a later "
                      u"save is confirmed."_s,
                  {}, MessageBoxes::Buttons::Ok);
}

} // namespace SaveReport
