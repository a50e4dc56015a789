#include "fileops.h"

#include "platform/paths.h"
#include "platform/removal.h"

#include <QDebug>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMutex>

namespace FileOps {

namespace {

constexpr int tracedPerEntry = 256;

// Most files are writable: deleting first and clearing the read-only state only on failure spares
// a stat and a chmod per file, which for a large tree doubled the cost of the walk.
bool deleteFile(const QFileInfo &info)
{
    const QString path = info.filePath();
    if (QFile::remove(path))
        return true;
    if (info.isSymLink())
        return false;
    QFile::setPermissions(path, QFile::permissions(path) | QFile::WriteOwner);
    return QFile::remove(path);
}

} // namespace

bool removeEmptyUpward(const QString &path)
{
    QString dir = QDir::cleanPath(QFileInfo(Platform::nativePath(path)).absoluteFilePath());
    if (Platform::isProtectedFolder(dir) || !QDir().rmdir(dir))
        return false;
    for (;;) {
        const QString parent = QFileInfo(dir).path();
        if (parent == dir || Platform::isProtectedFolder(parent) || !QDir().rmdir(parent))
            return true;
        dir = parent;
    }
}

void remove(const QString &composedPath, Trace trace)
{
    if (composedPath.isEmpty())
        return;
    const bool traced = trace == Traced;
    if (traced)
        qDebug() << composedPath;
    const QString path = Platform::nativePath(composedPath);
    const QFileInfo info(path);
    if (info.isSymLink() || info.isFile()) {
        deleteFile(info);
        return;
    }
    if (!traced && !info.isDir())
        return;

    // Traced in blocks of lines: one log entry per file cost a fifth of a large tree's removal.
    // The tree is removed by several threads, which share the block.
    QString block;
    int lines = 0;
    QMutex blockLock;
    const auto writeBlock = [&block, &lines] {
        if (lines > 0)
            qDebug().noquote() << block;
        block.clear();
        lines = 0;
    };
    Platform::removeTreeContents(path, [&](const QString &file, bool ok) {
        if (!traced)
            return;
        const QMutexLocker hold(&blockLock);
        if (lines > 0)
            block += QLatin1Char('\n');
        block += QLatin1String("subfile: ") + file + (ok ? QLatin1String(" true") : QLatin1String(" false"));
        if (++lines == tracedPerEntry)
            writeBlock();
    });
    writeBlock();
    // Listed first: removing while iterating would skip entries.
    QStringList dirs;
    QDirIterator walk(path, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                      QDirIterator::Subdirectories);
    while (walk.hasNext())
        dirs << walk.next();
    for (const QString &dir : qAsConst(dirs)) {
        // A link to a directory is removed as a link; its target is not ours.
        const bool ok = QFileInfo(dir).isSymLink() ? QFile::remove(dir) : removeEmptyUpward(dir);
        if (traced)
            qDebug() << "subdir:" << dir << ok;
    }
    const bool ok = removeEmptyUpward(path);
    if (traced)
        qDebug() << "dir:" << ok;
}

} // namespace FileOps
