#include "removal.h"

#include "core/shortcutnames.h"

#include "core/fileops.h"
#include "core/xfunc.h"
#include "edition.h"
#include "platform/paths.h"
#include "platform/registry.h"

#include <QDebug>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTextCodec>

namespace Removal {

QString startMenuFolder(const QString &programsPath, const QString &displayName, const QString &third)
{
    return programsPath + QLatin1Char('/') + ShortcutNames::folderName(third, displayName);
}

QStringList shortcutPaths(const QString &programsPath, const QString &desktopPath,
                          const QString &displayName, const QString &third, bool zh)
{
    if (displayName.isEmpty())
        return {};
    const QString menu = startMenuFolder(programsPath, displayName, third);
    return {menu + QLatin1Char('/') + ShortcutNames::fileName(ShortcutNames::startPrefix(zh), displayName),
            menu + QLatin1Char('/') + ShortcutNames::fileName(ShortcutNames::uninstallPrefix(zh), displayName),
            desktopPath + QLatin1Char('/') + ShortcutNames::fileName(QString(), displayName)};
}

void removeShortcut(const QString &path)
{
    const QFileInfo info(Platform::nativePath(path));
    if (info.isDir() && !info.isSymLink()) {
        qDebug() << "not a shortcut, left in place:" << path;
        return;
    }
    FileOps::remove(path, FileOps::Traced);
}

void runUnityDel(const QString &installDir, const QString &exe)
{
    if (exe.isEmpty())
        return;
    QProcess client;
    client.start(Platform::nativePath(installDir + QLatin1Char('\\') + exe), {QStringLiteral("unitydel")});
    if (!client.waitForFinished(30000) && client.state() != QProcess::NotRunning) {
        client.kill();
        client.waitForFinished(5000);
    }
    qDebug() << "unitydel" << client.exitCode() << client.error();
}

QString maxScriptName(const QString &startupFolder)
{
    static const QRegularExpression oldRelease(QStringLiteral("201[0-2]"));
    return oldRelease.match(startupFolder).hasMatch() ? QStringLiteral("o_vantrixMenu.ms")
                                                      : QStringLiteral("vantrixMenu.ms");
}

void removeMaxScripts(const QStringList &startupFolders)
{
    for (const QString &folder : startupFolders)
        QFile::remove(Platform::nativePath(folder + QLatin1Char('/') + maxScriptName(folder)));
}

void removeSketchUpPlugin(const QString &appData)
{
    // Without the value the folder would be taken from the drive root.
    if (appData.isEmpty())
        return;
    QStringList versions;
    QDirIterator it(Platform::nativePath(appData + QStringLiteral("/SketchUp")),
                    QDir::Dirs | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        versions << it.fileInfo().absoluteFilePath();
    }
    for (const QString &version : qAsConst(versions)) {
        XFunc::delDir(version + QStringLiteral("/SketchUp/Plugins/Vantrix_ZMT.rb"));
        XFunc::delDir(version + QStringLiteral("/SketchUp/Plugins/Vantrix_ZMT"));
    }
}

void removeInstallationRecord(QSettings &uninstallReg, const QString &recordName)
{
    if (recordName.isEmpty())
        return;
    uninstallReg.remove(recordName);
    Platform::flushRegistry(uninstallReg);
}

void removeAutorun(QSettings &runReg, const QString &exe)
{
    // An empty key would take every other program's start-up value with it.
    if (exe.isEmpty())
        return;
    runReg.remove(exe);
    Platform::flushRegistry(runReg);
}

void removeMakerKey(QSettings &makerReg, const QString &recordName)
{
    if (recordName.isEmpty())
        return;
    makerReg.remove(recordName);
    Platform::flushRegistry(makerReg);
}

QString batchPath()
{
    return Platform::systemDriveRoot() + QStringLiteral("\\ClearZMT.bat");
}

QByteArray batchText(const QString &productFolder)
{
    QString folder = productFolder;
    folder.replace(QLatin1Char('/'), QLatin1Char('\\'));
    // "%0" is the batch's own name for cmd, not a placeholder here.
    QString text = QStringLiteral("ping -n 1 127.0.0.1>nul\r\nrd \"");
    text.append(folder);
    text.append(QLatin1String("\" /s /q\r\ndel %0"));
    return QTextCodec::codecForLocale()->fromUnicode(text);
}

bool writeBatch(const QString &path, const QString &productFolder)
{
    QFile file(Platform::nativePath(path));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        qDebug() << "cannot write" << path << file.errorString();
        return false;
    }
    const QByteArray text = batchText(productFolder);
    const bool ok = file.write(text) == text.size() && file.flush();
    file.close();
    return ok;
}

} // namespace Removal
