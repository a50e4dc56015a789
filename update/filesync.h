#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

class QThread;

// File work of the updater: hashing, putting verified downloads in place, sweeping leftovers.
// Paths are composed texts; every function takes them through the platform's path conversion.
namespace FileSync {

// Incremental SHA-1 (OpenSSL's, which uses the CPU's SHA instructions where there are some).
class Sha1
{
public:
    Sha1();
    ~Sha1();
    Q_DISABLE_COPY(Sha1)
    void add(const char *data, qint64 size);
    // Lower-case hex digest; the object is spent afterwards.
    QString hex();

private:
    struct Context;
    std::unique_ptr<Context> d;
};

// Lower-case hex SHA-1 of a file; empty text when it cannot be opened for reading.
// Gives up (empty text) when watch is given and asked to stop.
QString fileHash(const QString &path, const QThread *watch = nullptr);

// Hashes of many files, several at a time; the result lines up with paths.
QStringList fileHashes(const QStringList &paths, const QThread *watch = nullptr);

// Moves from onto to, replacing an existing file in one step where the platform allows it.
bool replaceFile(const QString &from, const QString &to);

// Puts the verified file temp at target so that target is always either the old or the new file:
// a replacing move; when that is refused (a file in use), the old file is moved aside under
// target + milliseconds + "_VX_DELETE" first. False when target still holds the old file (or
// nothing, if even putting the old one back failed; the set-aside copy then stays).
bool swapIn(const QString &temp, const QString &target);

// Deletes every "*_VX_DELETE" file below root (any letter case); ones in use stay.
void sweep(const QString &root);

// The suffix of a download's temporary file.
inline QString tempSuffix() { return QStringLiteral("_DOWN_VX_DELETE"); }

} // namespace FileSync
