#pragma once

#include <QFile>
#include <QString>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace Platform {
class DirectWrite;
}

// A large download's file, written past the file cache by a thread of its own while the next
// bytes arrive. Used from one thread at a time; the writing thread is its own business.
class StreamedFile
{
public:
    // Creates or empties the file; null when it cannot be written directly, and the caller
    // writes it the usual way.
    static std::unique_ptr<StreamedFile> create(const QString &path);
    ~StreamedFile();
    Q_DISABLE_COPY(StreamedFile)

    // False once anything failed to be written.
    bool append(const char *data, qint64 size);
    // Writes what is left and waits for all of it; false when the file is not whole.
    bool finish();

private:
    StreamedFile(std::unique_ptr<Platform::DirectWrite> direct, const QString &path);
    void handOver();
    void writeLoop();
    bool writeBlock(const char *data, qint64 size, qint64 offset);

    std::unique_ptr<Platform::DirectWrite> direct;
    QFile file;          // the unaligned end, and blocks the system would not take directly
    char *buffers[2] = {nullptr, nullptr};
    int filling = 0;     // the buffer append() fills
    qint64 filled = 0;   // bytes in it
    qint64 offset = 0;   // where it goes in the file

    std::mutex lock;
    std::condition_variable changed;
    const char *queued = nullptr; // the block the thread is to write, or writes
    qint64 queuedSize = 0;
    qint64 queuedOffset = 0;
    bool failed = false;
    bool stopping = false;
    std::thread writer;
};
