#pragma once

#include <QWidget>

class Program;

class Form8 final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Form8)

public:
    explicit Form8(Program &program, QWidget *parent = nullptr);
    ~Form8() override;

private:
    Program &program_;
};
