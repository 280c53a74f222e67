#include "ui/PasswordEdit.h"

#include "ui/ScreenReaderEvents.h"

#include <QApplication>
#include <QPointer>
#include <QProxyStyle>

namespace {

class AsteriskStyle final : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter) {
            return '*';
        }
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

QStyle *asteriskStyle()
{
    // One style for every password box, owned by the application.
    static QPointer<QStyle> style;
    if (!style) {
        style = new AsteriskStyle;
        style->setParent(qApp);
    }
    return style;
}

} // namespace

PasswordEdit::PasswordEdit(QWidget *parent) : QLineEdit(parent)
{
    ScreenReaderEvents::install(); // its typed text never reaches a screen reader
    setStyle(asteriskStyle());
    setEchoMode(QLineEdit::Password);
}

PasswordEdit::~PasswordEdit() = default;
