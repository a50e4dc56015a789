#include "removal.h"

#include <QFile>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Platform {

namespace {

// Works relative to each directory's descriptor, as rm -r does: a path lookup per file from the
// root cost as much as the deletions themselves in large trees.
void removeBelow(int dirFd, const QByteArray &path, const std::function<void(const QString &, bool)> &each)
{
    const int listFd = dup(dirFd);
    DIR *dir = listFd >= 0 ? fdopendir(listFd) : nullptr;
    if (!dir) {
        if (listFd >= 0)
            close(listFd);
        return;
    }
    while (dirent *entry = readdir(dir)) {
        const char *name = entry->d_name;
        if (qstrcmp(name, ".") == 0 || qstrcmp(name, "..") == 0)
            continue;
        const QByteArray child = path + '/' + name;
        bool isDir = entry->d_type == DT_DIR;
        if (entry->d_type == DT_UNKNOWN) {
            struct stat info;
            isDir = fstatat(dirFd, name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(info.st_mode);
        }
        if (isDir) {
            const int subFd = openat(dirFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (subFd >= 0) {
                removeBelow(subFd, child, each);
                close(subFd);
            }
            unlinkat(dirFd, name, AT_REMOVEDIR);
        } else {
            each(QFile::decodeName(child), unlinkat(dirFd, name, 0) == 0);
        }
    }
    closedir(dir);
}

} // namespace

void removeTreeContents(const QString &dir, const std::function<void(const QString &, bool)> &each)
{
    const QByteArray path = QFile::encodeName(dir);
    const int fd = open(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return;
    removeBelow(fd, path, each);
    close(fd);
}

} // namespace Platform
