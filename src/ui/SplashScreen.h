#pragma once

#include <QWidget>

class QLabel;
class QTimer;
struct PublisherSettings;

// The start-up window: the splash picture, borderless and centred, titled with the product's name.
// After its timer's 75th tick it emits finished(), for the main window to load and show, and hides itself; it
// stays loaded, hidden, until the main window goes.
class SplashScreen final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SplashScreen)

public:
    static constexpr int Ticks = 75;

    explicit SplashScreen(const PublisherSettings &publisher, QWidget *parent = nullptr);
    ~SplashScreen() override;

    // One tick of the timer.
    void tick();
    qint16 counter() const { return counter_; }

signals:
    void finished();

private:
    QLabel *picture_ = nullptr;
    QTimer *tickTimer_ = nullptr;
    qint16 counter_ = 0;
};
