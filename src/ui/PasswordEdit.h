#pragma once

#include <QLineEdit>

// A text box that shows "*" for every character typed.
class PasswordEdit final : public QLineEdit {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PasswordEdit)

public:
    explicit PasswordEdit(QWidget *parent = nullptr);
    ~PasswordEdit() override;
};
