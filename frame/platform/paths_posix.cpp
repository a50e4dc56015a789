#include "paths.h"

#include "registry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace Platform {

namespace {

QString loginName()
{
    QString user = QString::fromLocal8Bit(qgetenv("USER"));
    if (user.isEmpty())
        user = QString::fromLocal8Bit(qgetenv("LOGNAME"));
    return user.isEmpty() ? QStringLiteral("user") : user;
}

QString userDir(const QString &root)
{
    return root + QStringLiteral("/Users/") + loginName();
}

QString cleanAbsolute(const QString &path)
{
    return QDir::cleanPath(QFileInfo(nativePath(path)).absoluteFilePath());
}

// The first use of a machine root lays out the folders and values a fresh Windows profile has.
void seed(const QString &root)
{
    const QString user = userDir(root);
    const QString roaming = user + QStringLiteral("/AppData/Roaming");
    QDir().mkpath(root + QStringLiteral("/registry"));
    QDir().mkpath(root + QStringLiteral("/Program Files"));
    QDir().mkpath(user + QStringLiteral("/Desktop"));
    QDir().mkpath(roaming + QStringLiteral("/Microsoft/Windows/Start Menu/Programs"));
    auto key = openRegistryKey(QStringLiteral(
        "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"));
    if (!key->contains(QStringLiteral("AppData")))
        key->setValue(QStringLiteral("AppData"), roaming);
    flushRegistry(*key);
}

} // namespace

QString nativePath(const QString &composed)
{
    QString path = composed;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    static const QRegularExpression doubled(QStringLiteral("/{2,}"));
    path.replace(doubled, QStringLiteral("/"));
    return path;
}

QString machineRoot()
{
    QString root = QString::fromLocal8Bit(qgetenv("VX_SYSROOT"));
    if (root.isEmpty())
        root = QDir::homePath() + QStringLiteral("/.local/share/vantrix/sysroot");
    root = QDir::cleanPath(QFileInfo(root).absoluteFilePath());
    // Seeding itself opens the registry, which asks for the root again: mark first, then seed.
    const QString mark = root + QStringLiteral("/registry/.seeded");
    if (!QFileInfo::exists(mark)) {
        QDir().mkpath(root + QStringLiteral("/registry"));
        QFile(mark).open(QIODevice::WriteOnly);
        seed(root);
    }
    return root;
}

QString programFilesDir()
{
    const QString fromEnv = QString::fromLocal8Bit(qgetenv("PROGRAMFILES"));
    if (!fromEnv.isEmpty())
        return fromEnv;
    return machineRoot() + QStringLiteral("/Program Files");
}

QString programsDir()
{
    const QString dir = appDataDir() + QStringLiteral("/Microsoft/Windows/Start Menu/Programs");
    QDir().mkpath(dir);
    return dir;
}

QString desktopDir()
{
    const QString dir = userDir(machineRoot()) + QStringLiteral("/Desktop");
    QDir().mkpath(dir);
    return dir;
}

QString appDataDir()
{
    return userDir(machineRoot()) + QStringLiteral("/AppData/Roaming");
}

QString systemDriveRoot()
{
    return machineRoot();
}

bool isProtectedFolder(const QString &path)
{
    const QString target = cleanAbsolute(path);
    if (target == QLatin1String("/") || target.isEmpty())
        return true;
    const QString root = machineRoot();
    const QString user = userDir(root);
    const QStringList guarded = {
        root,
        root + QStringLiteral("/Program Files"),
        root + QStringLiteral("/Users"),
        user,
        user + QStringLiteral("/AppData"),
        user + QStringLiteral("/AppData/Roaming"),
        user + QStringLiteral("/AppData/Roaming/Microsoft"),
        user + QStringLiteral("/AppData/Roaming/Microsoft/Windows"),
        user + QStringLiteral("/AppData/Roaming/Microsoft/Windows/Start Menu"),
        user + QStringLiteral("/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"),
        user + QStringLiteral("/Desktop"),
        programFilesDir(),
        QDir::homePath(),
        QDir::tempPath(),
    };
    for (const QString &g : guarded) {
        if (target == cleanAbsolute(g))
            return true;
    }
    return false;
}

} // namespace Platform
