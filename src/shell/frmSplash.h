#pragma once

#include <QWidget>

class Program;
class QLabel;
class QTimer;

// The start-up window: the splash picture, borderless and centred. After its timer's 75th tick it loads and shows
// the main window and hides itself; it stays loaded, hidden, until the main window goes.
class frmSplash final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmSplash)

public:
    static constexpr int Ticks = 75;

    explicit frmSplash(Program &program, QWidget *parent = nullptr);
    ~frmSplash() override;

    void Timer2_Timer();
    qint16 counter() const { return intTemp; }

    QLabel *Image1 = nullptr;
    QTimer *Timer2 = nullptr;


private:
    Program &program_;
    qint16 intTemp = 0;
};
