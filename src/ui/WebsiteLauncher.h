#pragma once

#include <QWidget>

class Opener;
class QTimer;
struct PublisherSettings;

// A window that is never shown: its load opens the publisher's website when a website command asked for it, and
// after a second it asks to be unloaded. Whoever loads it keeps the request: while it exists, a further request
// waits for its next creation.
class WebsiteLauncher final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WebsiteLauncher)

public:
    static constexpr int LifetimeMs = 1000;

    // `siteRequested`: a website command asked for the site, which the load then opens.
    WebsiteLauncher(const PublisherSettings &publisher, Opener &opener, bool siteRequested, QWidget *parent = nullptr);
    ~WebsiteLauncher() override;

    // The single-window mechanism asks this before showing a newly loaded window.
    bool showAfterLoad() const { return false; }

    // The end of the launcher's second.
    void expire();

signals:
    void unloadRequested();

private:
    QTimer *lifetimeTimer_ = nullptr;
};
