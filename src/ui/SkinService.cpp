#include "ui/SkinService.h"

#include <QPalette>
#include <QWidget>

namespace {

// A quiet slate look: light faces, dark blue-grey text.
constexpr QRgb ControlFace = 0xffdfe6ee;
constexpr QRgb ControlText = 0xff1d2b3a;
constexpr QRgb PictureFace = 0xffc9d6e3;
constexpr QRgb WindowFace = 0xffeef2f6;

} // namespace

SkinService::~SkinService() = default;

SkinService::Colors SkinService::colors() const
{
    return {QColor::fromRgb(ControlFace), QColor::fromRgb(ControlText), QColor::fromRgb(PictureFace)};
}

void SkinService::skinWindow(QWidget *window)
{
    if (!window) {
        return;
    }
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, QColor::fromRgb(WindowFace));
    palette.setColor(QPalette::WindowText, QColor::fromRgb(ControlText));
    window->setPalette(palette);
    window->setAutoFillBackground(true);
}
