#pragma once

#include "core/installlayout.h"

#include <QByteArray>
#include <QSettings>
#include <QString>
#include <QStringList>

// The removal steps of the uninstaller without its window.
namespace Removal {

// Where an installation is recorded and where it may be removed: see InstallLayout.
using InstallLayout::cleanFolder;
using InstallLayout::productFolderName;
using InstallLayout::productFolderOf;
using InstallLayout::recordName;

QString startMenuFolder(const QString &programsPath, const QString &displayName, const QString &third);
// Start, uninstall and desktop shortcut, in that order; none for an empty display name.
QStringList shortcutPaths(const QString &programsPath, const QString &desktopPath,
                          const QString &displayName, const QString &third, bool zh);
// Deletes a shortcut file or link; a directory of that name is not a shortcut and stays.
void removeShortcut(const QString &path);

// Lets the Corvanta client take its Unity parts away; bounded at 30 s.
void runUnityDel(const QString &installDir, const QString &exe);

// "o_vantrixMenu.ms" for folders of 3ds Max 2010 to 2012 (by the whole path), else "vantrixMenu.ms".
QString maxScriptName(const QString &startupFolder);
void removeMaxScripts(const QStringList &startupFolders);
// The loader and the plug-in folder in every SketchUp version folder below appData.
void removeSketchUpPlugin(const QString &appData);

void removeInstallationRecord(QSettings &uninstallReg, const QString &recordName);
void removeAutorun(QSettings &runReg, const QString &exe);
void removeMakerKey(QSettings &makerReg, const QString &recordName);

// The self-removal batch: where it goes and its three lines in the local 8-bit code page.
QString batchPath();
QByteArray batchText(const QString &productFolder);
bool writeBatch(const QString &path, const QString &productFolder);

} // namespace Removal
