#include "zmtextract.h"

#include "platform/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLoggingCategory>
#include <QObject>
#include <QSet>
#include <QThread>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipfileinfo.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <numeric>
#include <thread>
#include <vector>

namespace
{

Q_LOGGING_CATEGORY(lcZip, "install.zip")

// Large enough that the read and write calls vanish next to inflating; small enough for a few
// workers to stay far below the installer's memory budget.
constexpr qint64 ChunkSize = 256 * 1024;
// Below this much output a second reader costs more than it saves.
constexpr quint64 ShareThreshold = 8 * 1024 * 1024;
// Opening, creating and closing a file weighs about as much as inflating this many bytes.
constexpr quint64 PerFileCost = 64 * 1024;
constexpr int MaxWorkers = 4;

// The archive seen through two large windows. Minizip seeks before each 16 KiB it reads, and
// walking the entries alternates between the central directory at the end and the data at the
// front; on a plain file every such seek and read is a system call, which costs more than copying
// out of a window that stays on each of the two regions.
class WindowedFile final : public QIODevice
{
public:
    explicit WindowedFile(const QString &path)
        : file(path)
    {
    }

    bool open(OpenMode mode) override
    {
        if (mode != ReadOnly || !file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
            return false;
        length = file.size();
        for (Window &w : windows)
            w.bytes.reset(new char[WindowSize]);
        return QIODevice::open(ReadOnly | Unbuffered);
    }
    void close() override
    {
        QIODevice::close();
        file.close();
        for (Window &w : windows)
            w = Window();
    }
    bool isSequential() const override { return false; }
    qint64 size() const override { return length; }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 at = pos();
        if (maxSize >= WindowSize)
            return file.seek(at) ? file.read(data, maxSize) : -1;
        Window *hit = nullptr;
        for (Window &w : windows) {
            if (at >= w.start && at + maxSize <= w.start + w.length)
                hit = &w;
        }
        if (!hit) {
            hit = windows[0].used < windows[1].used ? &windows[0] : &windows[1];
            if (!file.seek(at))
                return -1;
            const qint64 got = file.read(hit->bytes.get(), WindowSize);
            if (got < 0)
                return -1;
            hit->start = at;
            hit->length = got;
        }
        hit->used = ++clock;
        const qint64 n = std::min(maxSize, hit->start + hit->length - at);
        std::memcpy(data, hit->bytes.get() + (at - hit->start), std::size_t(n));
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    static constexpr qint64 WindowSize = 512 * 1024;
    struct Window {
        std::unique_ptr<char[]> bytes;
        qint64 start = 0;
        qint64 length = 0;
        quint64 used = 0;
    };
    QFile file;
    qint64 length = 0;
    Window windows[2];
    quint64 clock = 0;
};

// One reader of the archive, with its own handle and window.
struct Reader {
    explicit Reader(const QString &path)
        : device(path)
    {
        zip.setIoDevice(&device);
    }
    bool open() { return zip.open(QuaZip::mdUnzip); }
    WindowedFile device;
    QuaZip zip;
};

struct Entry {
    QString name; // as stored: what the notifier reports
    QString path; // absolute, inside the target
    quint64 packed = 0;
    quint64 size = 0;
    QFile::Permissions perms;
    bool isDir = false;
    int worker = -1; // -1: nothing to inflate (folders)
};

bool onlyDotsAndSpaces(const QStringRef &part)
{
    return std::all_of(
        part.begin(), part.end(), [](QChar c) { return c == QLatin1Char('.') || c == QLatin1Char(' '); });
}

// The stored name as a path below the target, or false when it would land anywhere else on either
// system: rooted names, drive letters (and NTFS stream names, the other use of ':'), and ".."
// together with the dot-and-space runs that Windows trims down to it.
bool relativeName(const QString &stored, QString *relative)
{
    QString name = stored;
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (name.isEmpty() || name.startsWith(QLatin1Char('/')) || name.contains(QLatin1Char(':')))
        return false;
    QStringList parts;
    const auto split = name.splitRef(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QStringRef &part : split) {
        if (part == QLatin1String("."))
            continue;
        if (onlyDotsAndSpaces(part))
            return false;
        parts << part.toString();
    }
    if (parts.isEmpty())
        return false;
    *relative = parts.join(QLatin1Char('/'));
    return true;
}

class Extraction
{
public:
    Extraction(const QString &archive, const QString &target, QObject *notifier)
        : archive(archive)
        , target(target)
        , notifier(notifier)
    {
    }

    QStringList run(const ZipExtract::Tuning &tuning);

private:
    bool plan(QuaZip &zip);
    bool makeTarget();
    bool makeDir(const QString &dir);
    void assign(int workers);
    void work(QuaZip &zip, int worker, std::vector<QString> &written, char *buffer);
    bool extractOne(
        QuaZip &zip, const Entry &entry, bool caller, std::vector<QString> &written, char *buffer);
    void report();
    void fail(const QString &why);
    void rollBack(const std::vector<std::vector<QString>> &written);

    const QString archive;
    const QString target;
    QObject *const notifier;

    std::vector<Entry> entries;
    std::unique_ptr<std::atomic<bool>[]> done;
    std::size_t reported = 0; // entries told to the notifier; caller's thread only
    std::atomic<bool> failed { false };
    std::mutex failMutex;
    QString failure;

    // Helpers wake the caller, which alone talks to the notifier, when an entry is done.
    std::mutex progressMutex;
    std::condition_variable progressed;

    QSet<QString> knownDirs;
    QStringList createdDirs; // in creation order, parents first
};

bool Extraction::plan(QuaZip &zip)
{
    QuaZipFileInfo64 info;
    for (bool more = zip.goToFirstFile(); more; more = zip.goToNextFile()) {
        if (!zip.getCurrentFileInfo(&info)) {
            fail(QStringLiteral("unreadable entry header"));
            return false;
        }
        QString relative;
        if (!relativeName(info.name, &relative)) {
            fail(QStringLiteral("entry name leaves the target: ") + info.name);
            return false;
        }
        // Links are refused outright: the payload needs none, and one whose target leaves the
        // folder would let later entries be written through it.
        if (info.isSymbolicLink()) {
            fail(QStringLiteral("symbolic-link entry refused: ") + info.name);
            return false;
        }
        Entry entry;
        entry.name = info.name;
        entry.path = Platform::nativePath(target + QLatin1Char('/') + relative);
        if (!entry.path.startsWith(target + QLatin1Char('/'))) {
            fail(QStringLiteral("entry name leaves the target: ") + info.name);
            return false;
        }
        entry.packed = info.compressedSize;
        entry.size = info.uncompressedSize;
        entry.perms = info.getPermissions();
        entry.isDir = info.name.endsWith(QLatin1Char('/')) || info.name.endsWith(QLatin1Char('\\'));
        entries.push_back(std::move(entry));
    }
    if (zip.getZipError() != UNZ_OK) {
        fail(QStringLiteral("unreadable central directory"));
        return false;
    }
    if (entries.empty()) {
        fail(QStringLiteral("empty archive"));
        return false;
    }
    return true;
}

// The target's missing ancestors are ours as much as its content, so they are recorded for removal
// on failure like every folder below it.
bool Extraction::makeTarget()
{
    QStringList missing;
    QString dir = target;
    while (!QFileInfo::exists(dir)) {
        missing.prepend(dir);
        const int slash = dir.lastIndexOf(QLatin1Char('/'));
        if (slash <= 0)
            break;
        dir.truncate(slash);
    }
    for (const QString &d : qAsConst(missing)) {
        if (!QDir().mkdir(d))
            return false;
        createdDirs << d;
    }
    if (!QFileInfo(target).isDir())
        return false;
    knownDirs.insert(target);
    return true;
}

// Folders are made once each, before any file is written, so the workers never race on them.
bool Extraction::makeDir(const QString &dir)
{
    if (knownDirs.contains(dir))
        return true;
    const int slash = dir.lastIndexOf(QLatin1Char('/'));
    if (slash <= 0 || !makeDir(dir.left(slash)))
        return false;
    const QFileInfo info(dir);
    if (info.isSymLink())
        return false; // a link left in the target could carry writes outside it
    if (!info.exists()) {
        if (!QDir().mkdir(dir))
            return false;
        createdDirs << dir;
    } else if (!info.isDir()) {
        return false;
    }
    knownDirs.insert(dir);
    return true;
}

// Longest work first onto the least loaded reader balances a few huge files against many small
// ones. Entries that name the same file (case folded, as Windows sees them) stay with one reader so
// they are written in archive order.
void Extraction::assign(int workers)
{
    struct Chain {
        quint64 cost = 0;
        std::vector<std::size_t> members;
    };
    std::vector<Chain> chains;
    QHash<QString, std::size_t> chainOf;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].isDir)
            continue;
        const QString key = entries[i].path.toCaseFolded();
        auto it = chainOf.find(key);
        if (it == chainOf.end()) {
            it = chainOf.insert(key, chains.size());
            chains.emplace_back();
        }
        Chain &chain = chains[*it];
        chain.cost += entries[i].packed + entries[i].size + PerFileCost;
        chain.members.push_back(i);
    }
    std::vector<std::size_t> order(chains.size());
    std::iota(order.begin(), order.end(), std::size_t(0));
    std::stable_sort(order.begin(), order.end(),
        [&](std::size_t a, std::size_t b) { return chains[a].cost > chains[b].cost; });
    std::vector<quint64> load(std::size_t(workers), 0);
    for (std::size_t c : order) {
        const auto least = std::min_element(load.begin(), load.end()) - load.begin();
        load[std::size_t(least)] += chains[c].cost;
        for (std::size_t i : chains[c].members)
            entries[i].worker = int(least);
    }
}

void Extraction::fail(const QString &why)
{
    std::lock_guard<std::mutex> lock(failMutex);
    if (!failed.exchange(true))
        failure = why;
}

// Tells the notifier every entry of the finished prefix, in archive order.
void Extraction::report()
{
    while (reported < entries.size() && done[reported].load(std::memory_order_acquire)) {
        if (notifier)
            notifier->setObjectName(entries[reported].name);
        ++reported;
    }
}

bool Extraction::extractOne(
    QuaZip &zip, const Entry &entry, bool caller, std::vector<QString> &written, char *buffer)
{
    QuaZipFile in(&zip);
    if (!in.open(QIODevice::ReadOnly)) {
        fail(QStringLiteral("cannot open entry ") + entry.name);
        return false;
    }
    // An existing link in the target is replaced, never written through.
    if (QFileInfo(entry.path).isSymLink())
        QFile::remove(entry.path);
    QFile out(entry.path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        fail(QStringLiteral("cannot write ") + entry.path + QStringLiteral(": ") + out.errorString());
        return false;
    }
    written.push_back(entry.path);
    quint64 total = 0;
    for (;;) {
        const qint64 n = in.read(buffer, ChunkSize);
        if (n < 0) {
            fail(QStringLiteral("corrupt data in ") + entry.name);
            return false;
        }
        if (n == 0)
            break;
        if (out.write(buffer, n) != n) {
            fail(QStringLiteral("cannot write ") + entry.path + QStringLiteral(": ") + out.errorString());
            return false;
        }
        total += quint64(n);
        if (failed.load(std::memory_order_relaxed))
            return false;
        if (caller)
            report();
    }
    in.close();
    if (in.getZipError() != UNZ_OK || total != entry.size) {
        fail(QStringLiteral("corrupt data in ") + entry.name);
        return false;
    }
    out.close();
    if (out.error() != QFileDevice::NoError) {
        fail(QStringLiteral("cannot write ") + entry.path + QStringLiteral(": ") + out.errorString());
        return false;
    }
    // The owner keeps read and write so that updates can replace the file and removal can take it.
    if (entry.perms)
        QFile::setPermissions(entry.path, entry.perms | QFile::ReadOwner | QFile::WriteOwner);
    return true;
}

void Extraction::work(QuaZip &zip, int worker, std::vector<QString> &written, char *buffer)
{
    std::size_t i = 0;
    for (bool more = zip.goToFirstFile(); more && i < entries.size(); more = zip.goToNextFile(), ++i) {
        if (failed.load(std::memory_order_relaxed))
            return;
        const Entry &entry = entries[i];
        if (entry.worker != worker)
            continue;
        // Each reader walks its own handle; the archive must not have changed under the second one.
        if (zip.getCurrentFileName() != entry.name) {
            fail(QStringLiteral("archive changed while reading"));
            return;
        }
        // The first share is the caller's, the only thread that may talk to the notifier.
        if (!extractOne(zip, entry, worker == 0, written, buffer))
            return;
        {
            std::lock_guard<std::mutex> lock(progressMutex);
            done[i].store(true, std::memory_order_release);
        }
        progressed.notify_one();
    }
    if (i < entries.size() || zip.getZipError() != UNZ_OK)
        fail(QStringLiteral("archive ended early"));
}

void Extraction::rollBack(const std::vector<std::vector<QString>> &written)
{
    for (const auto &files : written)
        for (const QString &file : files)
            QFile::remove(file);
    // Children before parents; a folder that still holds something is not ours to take.
    for (int i = createdDirs.size() - 1; i >= 0; --i)
        QDir().rmdir(createdDirs.at(i));
}

QStringList Extraction::run(const ZipExtract::Tuning &tuning)
{
    Reader reader(archive);
    QuaZip &zip = reader.zip;
    if (!reader.open()) {
        qCWarning(lcZip) << "cannot open" << archive << zip.getZipError();
        return {};
    }
    if (!plan(zip)) {
        qCWarning(lcZip) << "refused" << archive << failure;
        return {};
    }

    std::vector<std::vector<QString>> written(1);
    done.reset(new std::atomic<bool>[entries.size()]);
    quint64 output = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        done[i].store(false, std::memory_order_relaxed);
        output += entries[i].size;
    }

    bool dirsOk = makeTarget();
    for (std::size_t i = 0; dirsOk && i < entries.size(); ++i) {
        const Entry &entry = entries[i];
        const QString dir
            = entry.isDir ? entry.path : entry.path.left(entry.path.lastIndexOf(QLatin1Char('/')));
        dirsOk = makeDir(dir);
        if (!dirsOk)
            fail(QStringLiteral("cannot create folder for ") + entry.name);
        else if (entry.isDir)
            done[i].store(true, std::memory_order_relaxed);
    }

    if (dirsOk) {
        int workers = tuning.workers;
        if (workers <= 0)
            workers = output < ShareThreshold ? 1 : std::min(QThread::idealThreadCount(), MaxWorkers);
        workers = std::max(1, workers);
        assign(workers);
        written.resize(std::size_t(workers));

        std::vector<std::thread> helpers;
        for (int w = 1; w < workers; ++w) {
            helpers.emplace_back([this, w, &written] {
                Reader own(archive);
                if (!own.open()) {
                    fail(QStringLiteral("cannot reopen the archive"));
                } else {
                    std::unique_ptr<char[]> buffer(new char[ChunkSize]);
                    work(own.zip, w, written[std::size_t(w)], buffer.get());
                    own.zip.close();
                }
                // Wake the caller even on failure, so it stops waiting for entries never coming.
                std::lock_guard<std::mutex> lock(progressMutex);
                progressed.notify_one();
            });
        }
        {
            std::unique_ptr<char[]> buffer(new char[ChunkSize]);
            work(zip, 0, written[0], buffer.get());
        }
        report();
        while (reported < entries.size() && !failed.load()) {
            std::unique_lock<std::mutex> lock(progressMutex);
            progressed.wait(
                lock, [this] { return failed.load() || done[reported].load(std::memory_order_acquire); });
            lock.unlock();
            report();
        }
        for (std::thread &helper : helpers)
            helper.join();
    }

    zip.close();
    if (!failed && zip.getZipError() != UNZ_OK)
        fail(QStringLiteral("archive error on close"));
    if (failed) {
        qCWarning(lcZip) << "extraction of" << archive << "failed:" << failure;
        rollBack(written);
        return {};
    }

    QStringList result;
    result.reserve(int(entries.size()));
    for (const Entry &entry : entries)
        result << entry.path;
    return result;
}

} // namespace

QStringList ZipExtract::extractDir(
    const QString &archive, const QString &target, QObject *notifier, const Tuning &tuning)
{
    const auto absolute = [](const QString &path) {
        return QDir::cleanPath(QFileInfo(Platform::nativePath(path)).absoluteFilePath());
    };
    if (archive.isEmpty() || target.isEmpty())
        return {};
    return Extraction(absolute(archive), absolute(target), notifier).run(tuning);
}

QStringList ZMTextractDir(QString archive, QString target, QObject *notifier)
{
    return ZipExtract::extractDir(archive, target, notifier, ZipExtract::Tuning());
}
