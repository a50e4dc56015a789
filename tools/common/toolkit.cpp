#include "toolkit.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <cstdlib>

namespace Toolkit {

void fail(const QString &message)
{
    std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()), qPrintable(message));
    std::exit(2);
}

Arguments::Arguments(const QStringList &arguments, const QStringList &known)
    : args(arguments.mid(1))
{
    for (int i = 0; i < args.size(); ++i) {
        if (!args[i].startsWith(QLatin1String("--")))
            fail(QStringLiteral("unexpected argument \"%1\" (see --help)").arg(args[i]));
        const QString name = args[i].mid(2);
        if (!known.contains(name))
            fail(QStringLiteral("unknown option \"%1\" (see --help)").arg(args[i]));
        if (name != QLatin1String("help")) {
            if (i + 1 >= args.size())
                fail(QStringLiteral("option \"%1\" needs a value").arg(args[i]));
            ++i;
        }
    }
}

bool Arguments::has(const QString &name) const
{
    return args.contains(QStringLiteral("--") + name);
}

QString Arguments::value(const QString &name, const QString &fallback) const
{
    const int at = args.indexOf(QStringLiteral("--") + name);
    return at >= 0 && at + 1 < args.size() ? args.at(at + 1) : fallback;
}

QString Arguments::required(const QString &name) const
{
    const QString v = value(name);
    if (v.isEmpty())
        fail(QStringLiteral("option --%1 is required (see --help)").arg(name));
    return v;
}

QStringList filesBelow(const QString &folder)
{
    const QString dir = QFileInfo(folder).absoluteFilePath();
    QStringList files;
    QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    const QDir base(dir);
    while (it.hasNext())
        files << base.relativeFilePath(it.next());
    files.sort();
    return files;
}

StagedFolder::StagedFolder(const QString &finalPath)
    : target(QDir::cleanPath(QFileInfo(finalPath).absoluteFilePath()))
{
    if (QFileInfo(target).exists() && !QDir(target).isEmpty())
        fail(QStringLiteral("the output folder \"%1\" exists and is not empty").arg(finalPath));
    staging = target + QStringLiteral(".partial-%1").arg(QCoreApplication::applicationPid());
    if (!QDir().mkpath(staging))
        fail(QStringLiteral("cannot create the output folder \"%1\"").arg(finalPath));
}

StagedFolder::~StagedFolder()
{
    if (!done)
        QDir(staging).removeRecursively();
}

void StagedFolder::commit()
{
    QDir().rmdir(target);
    if (!QDir().rename(staging, target))
        fail(QStringLiteral("cannot move the result into \"%1\"").arg(target));
    done = true;
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size() || !file.flush())
        fail(QStringLiteral("cannot write \"%1\"").arg(path));
}

void copyFile(const QString &from, const QString &to)
{
    QDir().mkpath(QFileInfo(to).absolutePath());
    QFile::remove(to);
    if (!QFile::copy(from, to))
        fail(QStringLiteral("cannot copy \"%1\" to \"%2\"").arg(from, to));
}

bool aboveEditionGate(const QString &version)
{
    return QString::compare(version, QStringLiteral("5.1.9.1"), Qt::CaseSensitive) > 0;
}

} // namespace Toolkit
