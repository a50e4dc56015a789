#include "launcher.h"

#include "paths.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTextCodec>

#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>

extern char **environ;

namespace Platform {

bool startDetached(const QString &program, const QStringList &arguments)
{
    return QProcess::startDetached(nativePath(program), arguments);
}

bool openDetached(const QString &path)
{
    return startDetached(path);
}

// Stands in for cmd running the batch: carries out its three lines (a short pause, the folder
// removal of the "rd" line, the removal of the batch itself) once this process has ended.
bool runBatchDetached(const QString &batchPath)
{
    const QString batch = nativePath(batchPath);
    QFile file(batch);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QString text = QTextCodec::codecForLocale()->toUnicode(file.readAll());
    file.close();

    static const QRegularExpression rdLine(QStringLiteral("^rd \"([^\"]+)\" /s /q$"),
                                           QRegularExpression::MultilineOption);
    QString folder;
    const QRegularExpressionMatch match = rdLine.match(QString(text).remove(QLatin1Char('\r')));
    if (match.hasMatch())
        folder = nativePath(match.captured(1));
    // cmd would remove whatever the line names; the stand-in keeps the machine's own folders.
    if (!folder.isEmpty() && isProtectedFolder(folder))
        folder.clear();

    const QString script = QStringLiteral(
        "i=0; while kill -0 \"$1\" 2>/dev/null && [ $i -lt 300 ]; do sleep 0.1; i=$((i+1)); done; "
        "sleep 0.2; "
        "if [ -n \"$2\" ]; then rm -rf -- \"$2\"; fi; "
        "rm -f -- \"$3\"");
    const QList<QByteArray> args{"/bin/sh", "-c", script.toUtf8(), "vx-batch",
                                 QByteArray::number(QCoreApplication::applicationPid()),
                                 QFile::encodeName(folder), QFile::encodeName(batch)};
    std::vector<char *> argv;
    for (const QByteArray &arg : args)
        argv.push_back(const_cast<char *>(arg.constData()));
    argv.push_back(nullptr);

    // Spawned rather than forked: a fork copies this whole process only to replace it, which
    // cost a fast uninstallation a tenth of its time. Like cmd in its own console, the shell
    // holds none of the caller's output open and lives on in a session of its own.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addchdir_np(&actions, "/");
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    pid_t pid = 0;
    const int failed = posix_spawn(&pid, argv.front(), &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return failed == 0;
}

void grantEveryoneFullAccess(const QString &dir)
{
    const QString root = nativePath(dir);
    if (!QFileInfo(root).isDir())
        return;
    QElapsedTimer clock;
    clock.start();
    auto grant = [](const QFileInfo &info) {
        QFile::Permissions perms = info.permissions() | QFile::ReadOwner | QFile::WriteOwner
                                   | QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther
                                   | QFile::WriteOther;
        if (info.isDir() || (info.permissions() & QFile::ExeOwner))
            perms |= QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
        QFile::setPermissions(info.absoluteFilePath(), perms);
    };
    grant(QFileInfo(root));
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext() && clock.elapsed() < 30000) {
        it.next();
        if (!it.fileInfo().isSymLink())
            grant(it.fileInfo());
    }
}

bool createShortcut(const QString &target, const QString &linkPath)
{
    return QFile::link(nativePath(target), nativePath(linkPath));
}

} // namespace Platform
