#include "registry.h"

#include "win32/reg64.h"

#include <QDebug>

namespace Platform {

std::unique_ptr<QSettings> openRegistryKey(const QString &fullPath)
{
    return std::make_unique<QSettings>(fullPath, QSettings::NativeFormat);
}

QString readMachineValue64(const QString &subKey, const QString &valueName)
{
    long closed = 0;
    const std::wstring value =
        Win32::readHklm64(subKey.toStdWString(), valueName.toStdWString(), &closed);
    qDebug() << "RegCloseKey" << closed;
    return QString::fromStdWString(value);
}

void flushRegistry(QSettings &key)
{
    key.sync();
}

} // namespace Platform
