#include "platform/DisplayServer.h"

#include <QGuiApplication>

#include <xcb/xcb.h>

using namespace Qt::StringLiterals;

namespace DisplayServer {

namespace {

constexpr char PlatformVariable[] = "QT_QPA_PLATFORM";

bool xServerAnswers()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        return false;
    }
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    const bool answers = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return answers;
}

} // namespace

bool choose()
{
    if (!qEnvironmentVariableIsEmpty(PlatformVariable)) {
        return false;
    }
    if (xServerAnswers()) {
        qputenv(PlatformVariable, "xcb");
        return true;
    }
    if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        qputenv(PlatformVariable, "wayland");
        return true;
    }
    return false; // nothing answers: Qt says so in its own words
}

void forgetChoice()
{
    qunsetenv(PlatformVariable);
}

bool isNativeWayland()
{
    return QGuiApplication::platformName().startsWith(u"wayland"_s);
}

} // namespace DisplayServer
