#include "installcontext.h"

#include "installlayout.h"
#include "regkeys.h"
#include "serviceconfig.h"
#include "unattended.h"
#include "xfunc.h"
#include "platform/paths.h"
#include "platform/registry.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFileInfo>
#include <QJsonObject>

#include <cstdlib>

QString InstallContext::exe;
QString InstallContext::third;
bool InstallContext::isZh = true;

namespace {

QString programDirOverride;

QString iniPath(const QString &dir)
{
    return dir + QStringLiteral("/VX.ini");
}

std::unique_ptr<QSettings> openEditionFile(const QString &dir)
{
    auto ini = std::make_unique<QSettings>(iniPath(dir), QSettings::IniFormat);
    ini->setIniCodec("GB2312");
    return ini;
}

QString jsonText(const QJsonObject &object, const QString &key)
{
    return object.value(key).toString();
}

[[noreturn]] void endWithoutInstallation()
{
    qDebug() << "no VX.ini and no installation record";
    if (Unattended::isOn()) {
        Unattended::tell(QStringLiteral("No installation of the client was found (and no VX.ini beside the program)."));
        std::exit(Unattended::Refused);
    }
    std::exit(0);
}

} // namespace

QString InstallContext::programDir()
{
    return programDirOverride.isEmpty() ? QCoreApplication::applicationDirPath() : programDirOverride;
}

void InstallContext::overrideProgramDir(const QString &dir)
{
    programDirOverride = dir;
}

QString InstallContext::registryNameFor(const QString &edition)
{
    return edition == QLatin1String("Corvanta") ? QStringLiteral("VantrixCV")
                                                : QStringLiteral("VantrixZMT");
}

bool InstallContext::isChinese(const QString &code)
{
    return code != QLatin1String("en_us");
}

InstallContext::InstallContext()
{
    runReg = Platform::openRegistryKey(RegKeys::run());
    uninstallReg = Platform::openRegistryKey(RegKeys::uninstall());
    makerReg = Platform::openRegistryKey(RegKeys::maker());
    appDir = programDir();

    if (!QFileInfo::exists(iniPath(appDir))) {
        recordName = InstallLayout::recordName(appDir, false, QString());
        settingsReg = Platform::openRegistryKey(RegKeys::settings(recordName));
        uninstallReg->beginGroup(recordName);
        installDir = uninstallReg->value(QStringLiteral("installDir")).toString();
        uninstallReg->endGroup();
        if (installDir.isEmpty())
            endWithoutInstallation();
        const QJsonObject info =
            XFunc::stringToJson(settingsReg->value(QStringLiteral("info")).toString());
        third = jsonText(info, QStringLiteral("third"));
        name = jsonText(info, QStringLiteral("name"));
        nameEN = jsonText(info, QStringLiteral("nameEN"));
        exe = jsonText(info, QStringLiteral("exe"));
        mark = jsonText(info, QStringLiteral("mark"));
        lang = jsonText(info, QStringLiteral("lang"));
    } else {
        auto ini = openEditionFile(appDir);
        exe = ini->value(QStringLiteral("info/exe")).toString();
        name = ini->value(QStringLiteral("info/name")).toString();
        nameEN = ini->value(QStringLiteral("info/nameEN")).toString();
        third = ini->value(QStringLiteral("info/third")).toString();
        mark = ini->value(QStringLiteral("info/mark")).toString();
        lang = ini->value(QStringLiteral("info/lang")).toString();
        recordName = InstallLayout::recordName(appDir, true, third);
        settingsReg = Platform::openRegistryKey(RegKeys::settings(recordName));
    }
    bs = ServiceConfig::load(appDir).surveyBase;
}

InstallContext::~InstallContext() = default;

bool InstallContext::initLanguage()
{
    isZh = isChinese(lang);
    return isZh;
}

QString InstallContext::iniThird()
{
    if (!QFileInfo::exists(iniPath(programDir())))
        return QString();
    return openEditionFile(programDir())->value(QStringLiteral("info/third")).toString();
}

QString InstallContext::registryName()
{
    return registryNameFor(third);
}

QString InstallContext::programsPath() const
{
    return Platform::programsDir();
}

QString InstallContext::desktopPath() const
{
    return Platform::desktopDir();
}
