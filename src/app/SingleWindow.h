#pragma once

#include <QPointer>
#include <QWidget>

// Every window of the program exists at most once. Opening one creates it when it does not exist, which runs its
// load steps in its constructor, and shows it, unless its load declined to be shown (then it is never shown);
// opening an existing one only brings it to the front. Unloading destroys it, so the next open loads it afresh.
// A window that ends itself emits unloadRequested().
template <class Window> class SingleWindow final {
public:
    SingleWindow() = default;
    Q_DISABLE_COPY_MOVE(SingleWindow)
    ~SingleWindow() { unload(); }

    Window *get() const { return window_.data(); }
    bool isLoaded() const { return !window_.isNull(); }

    // `create` makes the window (running its load) and returns it; it only runs when none exists.
    template <class Create> Window *load(Create &&create)
    {
        if (!window_) {
            Window *window = create();
            window_ = window;
            window->setAttribute(Qt::WA_DeleteOnClose, true);
            if constexpr (requires { &Window::unloadRequested; }) {
                QObject::connect(window, &Window::unloadRequested, window, [this] { unload(); });
            }
        }
        return window_.data();
    }

    template <class Create> Window *open(Create &&create)
    {
        Window *window = load(std::forward<Create>(create));
        if constexpr (requires { window->showAfterLoad(); }) {
            if (!window->showAfterLoad()) {
                return window;
            }
        }
        window->show();
        window->raise();
        window->activateWindow();
        return window;
    }

    void unload()
    {
        if (Window *window = window_.data()) {
            window_.clear();
            if constexpr (requires { &Window::unloadRequested; }) {
                QObject::disconnect(window, &Window::unloadRequested, nullptr, nullptr);
            }
            window->setAttribute(Qt::WA_DeleteOnClose, false);
            window->hide();
            window->deleteLater();
        }
    }

private:
    QPointer<Window> window_;
};
