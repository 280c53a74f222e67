#include "app/SaveReport.h"

#include "platform/Platform.h"

using namespace Qt::StringLiterals;

namespace SaveReport {

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
