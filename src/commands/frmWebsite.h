#pragma once

#include <QWidget>

class Program;
class QTimer;

// A window that is never shown: its load opens the publisher's website when a website command asked for it, and
// its timer destroys it a second later. While it exists, a further request waits for its next creation.
class frmWebsite final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmWebsite)

public:
    static constexpr int LifetimeMs = 1000;

    explicit frmWebsite(Program &program, QWidget *parent = nullptr);
    ~frmWebsite() override;

    // The single-window mechanism asks this before showing a newly loaded window.
    bool showAfterLoad() const { return false; }

    void Timer1_Timer();

    QTimer *Timer1 = nullptr;

private:
    void Form_Load();

    Program &program_;
};
