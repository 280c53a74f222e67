#pragma once

#include <QPointer>
#include <QWidget>

// Every window of the program exists at most once. Opening one creates it when it does not exist, which runs its
// load steps in the constructor, and shows it, unless its load declined to be shown (then it is never shown);
// opening an existing one only brings it to the front. Unloading destroys it, so the next open loads it afresh.
template <class Window> class SingleWindow final {
public:
    Window *get() const { return window_.data(); }
    bool isLoaded() const { return !window_.isNull(); }

    template <class... Args> Window *load(Args &&...args)
    {
        if (!window_) {
            window_ = new Window(std::forward<Args>(args)...);
            window_->setAttribute(Qt::WA_DeleteOnClose, true);
        }
        return window_.data();
    }

    template <class... Args> Window *open(Args &&...args)
    {
        Window *window = load(std::forward<Args>(args)...);
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
            window->setAttribute(Qt::WA_DeleteOnClose, false);
            window->hide();
            window->deleteLater();
        }
    }

private:
    QPointer<Window> window_;
};
