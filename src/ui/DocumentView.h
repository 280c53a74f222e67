#pragma once

#include <QTextBrowser>

// A read-only text to read, such as the help: a screen reader meets it as a document whose whole text it can read,
// not as a text box or a label.
class DocumentView final : public QTextBrowser {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DocumentView)

public:
    explicit DocumentView(QWidget *parent = nullptr);
    ~DocumentView() override;

protected:
    // The text, then the tab leaders that Qt's text layout does not draw.
    void paintEvent(QPaintEvent *event) override;
};
