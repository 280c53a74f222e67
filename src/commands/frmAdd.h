#pragma once

#include <QWidget>

class Program;

class frmAdd final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmAdd)

public:
    explicit frmAdd(Program &program, QWidget *parent = nullptr);
    ~frmAdd() override;

private:
    Program &program_;
};
