#pragma once

#include <QProcess>
#include <QString>

// Sets the immutable attribute on a file or folder for its lifetime, which stops even root, whom mode bits do not
// stop. The attribute is always cleared again, also when a check fails half-way, so that the temporary folder can
// be removed.
class Immutable final {
public:
    explicit Immutable(QString path) : path_(std::move(path))
    {
        ok_ = QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), path_}) == 0;
    }
    ~Immutable() { release(); }
    Q_DISABLE_COPY_MOVE(Immutable)

    bool ok() const { return ok_; }
    void release()
    {
        if (ok_) {
            QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), path_});
            ok_ = false;
        }
    }

private:
    QString path_;
    bool ok_ = false;
};

#define MAKE_IMMUTABLE(name, path)                                                                                     \
    Immutable name(path);                                                                                              \
    if (!name.ok())                                                                                                    \
        QSKIP("chattr +i is refused here (not root, or a file system without the immutable attribute)");
