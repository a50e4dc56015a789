#pragma once

#include <QSettings>
#include <QString>
#include <QUrl>

// The installation steps after extraction that need no window: client files, shortcuts and
// registry values.
namespace Registration {

struct Input
{
    QString displayName;   // N: name, or nameEN for the English interface
    QString nameEN;
    QString mark;
    QString lang;
    QString edition;       // BaseWidget::third
    QString exe;           // BaseWidget::exe
    QString installDir;
    QString version;
    bool zh = true;
    bool startMenu = true;
    bool autoRun = true;
    QString productUrl;

    QString clientPath() const { return installDir + QLatin1Char('\\') + exe; }
    QString uninstallerPath() const { return installDir + QStringLiteral("\\uninstall.exe"); }
};

void copyRuntimeFiles(const QString &appDir, const QString &installDir);
// The per-user data folder with AllUser/SPCache; an existing SPCache is kept.
void prepareDataFolder(const QString &appDir, const QString &registryName);
// Gives VantrixZMT.exe the edition's name; false when that rename fails.
bool renameClient(const QString &installDir, const QString &exe);
void copyIcon(const QString &appDir, const QString &installDir);

void replaceShortcuts(const Input &in, const QString &programsDir, const QString &desktopDir);
void writeRunEntry(QSettings &run, const Input &in);
void writeUninstallEntry(QSettings &uninstall, const QString &registryName, const Input &in);
void writeSettings(QSettings &settings, const Input &in);
void grantAccess(const QString &installDir);
// Plug-in files of the maker's other client, which clash with ours.
void removeOtherClientFiles();

QUrl channelReportUrl(const QString &host, const QString &mark, const QString &mac, const QString &cpu);

} // namespace Registration
