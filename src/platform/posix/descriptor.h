#pragma once

#include <unistd.h>
#include <utility>

namespace kavo {

// Owns a file descriptor and closes it on every path.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    Descriptor(Descriptor&& other) noexcept : fd_(other.release()) {}
    Descriptor& operator=(Descriptor&& other) noexcept {
        if (this != &other) {
            if (fd_ >= 0)
                ::close(fd_);
            fd_ = other.release();
        }
        return *this;
    }
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    int get() const { return fd_; }
    // Hands the descriptor on; it is no longer closed here.
    int release() { return std::exchange(fd_, -1); }
    // Closes now; false when the close failed, which after writes means they may be lost.
    bool close() { return ::close(release()) == 0; }

private:
    int fd_;
};

} // namespace kavo
