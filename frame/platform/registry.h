#pragma once

#include <QSettings>
#include <QString>
#include <memory>

namespace Platform {

// A settings object positioned on a registry key given by its full path
// ("HKEY_LOCAL_MACHINE\Software\..." or "HKEY_CURRENT_USER\..."), in the 32-bit view a 32-bit
// program sees.
std::unique_ptr<QSettings> openRegistryKey(const QString &fullPath);

// One string value under HKEY_LOCAL_MACHINE read in the 64-bit view; empty when the key or value
// cannot be read or the value does not fit 512 UTF-16 code units.
QString readMachineValue64(const QString &subKey, const QString &valueName);

// Makes registry writes visible to other processes now (the Linux stand-in keeps files).
void flushRegistry(QSettings &key);

} // namespace Platform
