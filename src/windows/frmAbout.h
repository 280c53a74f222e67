#pragma once

#include <QWidget>

class Program;

class frmAbout final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmAbout)

public:
    explicit frmAbout(Program &program, QWidget *parent = nullptr);
    ~frmAbout() override;

private:
    Program &program_;
};
