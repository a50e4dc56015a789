#pragma once

#include <QString>

// What an installation directory must look like before anything is deleted or written below it.
namespace InstallLayout {

// The registry group an installation is recorded under: the edition's when the program runs
// beside VX.ini (the installer), otherwise told by the folder it runs from (installed programs
// run from the installation directory).
QString recordName(const QString &appDir, bool editionFileBeside, const QString &third);

// "Vantrix for Unity" for the Corvanta record, "VantrixZMT" for every other one.
QString productFolderName(const QString &recordName);

// The product folder holding installDir, absolute and clean, when installDir is a version folder
// directly inside a folder of that name and neither of them is a folder removal must never take
// away. Otherwise empty, with the reason in why. The registry can be changed by anyone, so this
// is the only way a tree deletion or a batch is allowed.
QString productFolderOf(const QString &installDir, const QString &recordName, QString *why = nullptr);
// installDir absolute with "." and ".." resolved as text, the way productFolderOf judged it; what
// is deleted must be the folder that was judged, not where links inside the text lead.
QString cleanFolder(const QString &installDir);


} // namespace InstallLayout
