#include "ui/PictureButton.h"

#include "ui/EnterKey.h"

using namespace Qt::StringLiterals;

PictureButton::PictureButton(QWidget *parent, const QString &objectName, const QString &caption, const QString &picture,
                             QRect geometry)
    : QToolButton(parent)
{
    setObjectName(objectName);
    setCaption(caption);
    setIcon(QIcon(u":/buttons/%1.png"_s.arg(picture)));
    setIconSize(QSize(32, 32));
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    setFocusPolicy(Qt::StrongFocus);
    setGeometry(geometry);
    EnterKey::pressesButton(this);
}

PictureButton::~PictureButton() = default;

void PictureButton::setCaption(const QString &caption)
{
    setText(caption);
    setAccessibleName(caption);
}
