#include "removal.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace Platform {

void removeTreeContents(const QString &dir, const std::function<void(const QString &, bool)> &each)
{
    QDirIterator files(dir, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString file = files.next();
        bool ok = QFile::remove(file);
        // A read-only file needs its attribute cleared first.
        if (!ok && !files.fileInfo().isSymLink()) {
            QFile::setPermissions(file, QFile::permissions(file) | QFile::WriteOwner);
            ok = QFile::remove(file);
        }
        each(file, ok);
    }
    QStringList dirs;
    QDirIterator walk(dir, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                      QDirIterator::Subdirectories);
    while (walk.hasNext())
        dirs.prepend(walk.next());
    for (const QString &sub : qAsConst(dirs))
        QDir().rmdir(sub);
}

} // namespace Platform
