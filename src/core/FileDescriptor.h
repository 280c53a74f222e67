#pragma once

#include <QtGlobal>

#include <cerrno>
#include <unistd.h>

// An open file descriptor that is closed when it goes, so that no way out of a function leaves one open.
class FileDescriptor final {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() { close(); }
    FileDescriptor(FileDescriptor &&other) noexcept : fd_(other.release()) {}
    FileDescriptor &operator=(FileDescriptor &&other) noexcept
    {
        if (this != &other) {
            close();
            fd_ = other.release();
        }
        return *this;
    }
    Q_DISABLE_COPY(FileDescriptor)

    int get() const { return fd_; }
    bool isOpen() const { return fd_ >= 0; }

    // Hands the descriptor over without closing it.
    int release()
    {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

    // Closes it now; the error number of a close that failed (which may have lost written data), or 0.
    int close()
    {
        if (fd_ < 0) {
            return 0;
        }
        const int result = ::close(release());
        return result == 0 ? 0 : errno;
    }

private:
    int fd_ = -1;
};
