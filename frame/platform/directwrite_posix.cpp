#include "directwrite.h"

#include <QFile>

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace Platform {

namespace {

class PosixDirectWrite final : public DirectWrite
{
public:
    explicit PosixDirectWrite(int fd)
        : fd(fd)
    {
    }
    ~PosixDirectWrite() override { close(fd); }

    bool writeAt(const char *data, qint64 size, qint64 offset) override
    {
        while (size > 0) {
            const ssize_t done = pwrite(fd, data, static_cast<size_t>(size), offset);
            if (done < 0 && errno == EINTR)
                continue;
            // A short direct write leaves the rest unaligned; the caller writes it the usual way.
            if (done <= 0 || done % alignment != 0)
                return false;
            data += done;
            size -= done;
            offset += done;
        }
        return true;
    }

private:
    int fd;
};

} // namespace

std::unique_ptr<DirectWrite> DirectWrite::open(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_DIRECT | O_CLOEXEC);
    if (fd < 0)
        return nullptr; // tmpfs and some others refuse O_DIRECT
    return std::make_unique<PosixDirectWrite>(fd);
}

} // namespace Platform
