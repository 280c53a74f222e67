#pragma once

#include <QWidget>

class Program;

class frmWebsite final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmWebsite)

public:
    explicit frmWebsite(Program &program, QWidget *parent = nullptr);
    ~frmWebsite() override;

private:
    Program &program_;
};
