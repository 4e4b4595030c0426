// Plain descriptor I/O for device images and promsim's files: a descriptor
// that closes itself, and whole writes and reads that ride out EINTR and
// short transfers.
#ifndef PROMSIM_FD_IO_H
#define PROMSIM_FD_IO_H

#include <cstddef>

namespace promsim {

// Closes a descriptor on every path out; the destructor keeps errno.
class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd();
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    int get() const { return fd_; }
    // Closes now and takes `fd`; false (errno set) when the close reports
    // a lost write.
    bool reset(int fd = -1);

private:
    int fd_;
};

// All `length` bytes, or false with errno.
bool write_all(int fd, const unsigned char *bytes, std::size_t length);

// Up to `length` bytes, fewer only at the end of the file; *got how many.
// False with errno on a read error.
bool read_full(int fd, unsigned char *buffer, std::size_t length, std::size_t *got);

}  // namespace promsim

#endif
