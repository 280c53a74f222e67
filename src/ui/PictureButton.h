#pragma once

#include <QToolButton>

// A command button with its picture above its caption, as the main window and the entry dialog have them. It takes
// the keyboard focus by Tab and by click, Space and Enter press it, and screen readers read its caption.
class PictureButton final : public QToolButton {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PictureButton)

public:
    // `picture` names a picture of the program's resources (":/buttons/<picture>.png"); `geometry` is in pixels.
    PictureButton(QWidget *parent, const QString &objectName, const QString &caption, const QString &picture,
                  QRect geometry);
    ~PictureButton() override;

    // Sets the caption and the name that screen readers read together.
    void setCaption(const QString &caption);
};
