#include "platform/ClipboardHandover.h"

#include <QAbstractEventDispatcher>
#include <QAbstractNativeEventFilter>
#include <QClipboard>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QThread>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace ClipboardHandover {

namespace {

xcb_atom_t atom(xcb_connection_t *connection, const char *name)
{
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, false, uint16_t(std::strlen(name)), name),
                              nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

xcb_window_t selectionOwner(xcb_connection_t *connection, xcb_atom_t selection)
{
    const std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> reply(
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, selection), nullptr), &std::free);
    return reply ? reply->owner : xcb_window_t(XCB_WINDOW_NONE);
}

// Watches Qt's event stream for the manager's answer to our request; every event still goes on to Qt.
class AnswerWatch final : public QAbstractNativeEventFilter {
public:
    AnswerWatch(xcb_window_t requestor, xcb_atom_t manager) : requestor_(requestor), manager_(manager) {}
    bool nativeEventFilter(const QByteArray &type, void *message, qintptr *) override
    {
        if (type == "xcb_generic_event_t") {
            const auto *event = static_cast<const xcb_generic_event_t *>(message);
            if ((event->response_type & 0x7F) == XCB_SELECTION_NOTIFY) {
                const auto *notify = static_cast<const xcb_selection_notify_event_t *>(message);
                answered |= notify->requestor == requestor_ && notify->selection == manager_;
            }
        }
        return false;
    }
    bool answered = false;

private:
    xcb_window_t requestor_;
    xcb_atom_t manager_;
};

} // namespace

void toManager(std::chrono::milliseconds limit)
{
    const auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance();
    if (!x11 || !dispatcher || !QGuiApplication::clipboard()->ownsClipboard()) {
        return;
    }
    xcb_connection_t *connection = x11->connection();
    const xcb_atom_t manager = atom(connection, "CLIPBOARD_MANAGER");
    const xcb_atom_t saveTargets = atom(connection, "SAVE_TARGETS");
    const xcb_atom_t property = atom(connection, "BRISVANE_SAVE_TARGETS");
    if (manager == XCB_ATOM_NONE || saveTargets == XCB_ATOM_NONE || property == XCB_ATOM_NONE ||
        selectionOwner(connection, manager) == XCB_WINDOW_NONE) {
        return;
    }

    // The manager fetches every target from the clipboard's owner, Qt's own window, which Qt serves from its event
    // stream; the answer comes to a window of ours. An empty property asks it to save all targets.
    const xcb_window_t requestor = xcb_generate_id(connection);
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, requestor, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_delete_property(connection, requestor, property);
    AnswerWatch watch(requestor, manager);
    dispatcher->installNativeEventFilter(&watch);
    xcb_convert_selection(connection, requestor, manager, saveTargets, property, XCB_CURRENT_TIME);
    xcb_flush(connection);

    const QDeadlineTimer deadline(limit);
    constexpr auto onlyTheClipboard =
        QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers | QEventLoop::X11ExcludeTimers;
    while (!watch.answered && !deadline.hasExpired()) {
        QCoreApplication::processEvents(onlyTheClipboard);
        if (!watch.answered) {
            QThread::msleep(1);
        }
    }
    dispatcher->removeNativeEventFilter(&watch);
    xcb_destroy_window(connection, requestor);
    xcb_flush(connection);
}

} // namespace ClipboardHandover
