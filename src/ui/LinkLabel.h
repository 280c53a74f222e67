#pragma once

#include <QLabel>

// A label that acts like a link: a click on it, or Enter or Space while it has the keyboard focus, emits
// activated(). It is reachable with Tab, shows a focus frame, and screen readers see it as a link that can be
// pressed. Its text is always plain text.
class LinkLabel final : public QLabel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LinkLabel)

public:
    explicit LinkLabel(QWidget *parent = nullptr);
    ~LinkLabel() override;

signals:
    void activated();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    bool pressed_ = false;
};
