#pragma once

#include <QSettings>
#include <QString>
#include <memory>

// Which edition of the client is meant and where it lives: read from VX.ini beside the program
// (the installer) or from the installation record the installer wrote (uninstaller, updater).
class InstallContext
{
public:
    // Ends the process when there is neither VX.ini nor an installation record.
    InstallContext();
    virtual ~InstallContext();
    Q_DISABLE_COPY(InstallContext)

    bool initLanguage();
    static QString iniThird();
    static QString registryName();
    QSettings *settings() const { return settingsReg.get(); }
    QString programsPath() const;
    QString desktopPath() const;

    // The directory the program runs from; tests run the programs' windows from fixture folders.
    static QString programDir();
    static void overrideProgramDir(const QString &dir);

    QString name;
    QString nameEN;
    QString mark;
    QString lang;
    QString appDir;
    QString installDir;
    std::unique_ptr<QSettings> uninstallReg;
    std::unique_ptr<QSettings> runReg;
    std::unique_ptr<QSettings> settingsReg;
    std::unique_ptr<QSettings> makerReg;
    QString bs;
    // The group the installation record is kept under (from the folder's name without VX.ini).
    QString recordName;

    static QString exe;
    static QString third;
    static bool isZh;

    // The registry name for an edition: "VantrixCV" for Corvanta, "VantrixZMT" for all others.
    static QString registryNameFor(const QString &edition);
    // True when lang selects the Chinese interface.
    static bool isChinese(const QString &lang);
};
