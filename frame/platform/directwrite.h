#pragma once

#include <QString>

#include <memory>

namespace Platform {

// Writing a file past the system's file cache. A large download written through the cache costs
// a fresh cache page for every 4 KiB, which on a busy machine took longer than the disk itself,
// and leaves all of it to be flushed when anything later waits for the disk.
class DirectWrite
{
public:
    // Offsets, sizes and buffer addresses of direct writes are multiples of this.
    static constexpr qint64 alignment = 4096;

    // An existing file opened for direct writing; null where the system or the file system does
    // not offer it, and the caller writes the usual way.
    static std::unique_ptr<DirectWrite> open(const QString &path);
    virtual ~DirectWrite() = default;

    // Writes an aligned block at an aligned offset; false when it was not written whole.
    virtual bool writeAt(const char *data, qint64 size, qint64 offset) = 0;
};

} // namespace Platform
