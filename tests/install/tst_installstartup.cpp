#include "fakehttp.h"
#include "installerfolder.h"
#include "testroot.h"

#include <QtTest>

using namespace TestSupport;

Q_DECLARE_METATYPE(Edition)

// Who may install over what, through the real installer on machine roots of their own.
class TestInstallStartup : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // A process that is 3ds Max by its image name.
        maxImage = maxDir.path() + QStringLiteral("/3dsmax.exe");
        copyExecutable(testBin(QStringLiteral("vx_sleeper")), maxImage);
    }

    void refusals_data()
    {
        QTest::addColumn<Edition>("edition");
        QTest::addColumn<bool>("maxRunning");
        QTest::addColumn<QString>("recordedThird");   // "-" for no previous installation
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        Edition standard;
        Edition partner;
        partner.third = QStringLiteral("Nimbrosia");
        partner.lang = QStringLiteral("en_us");
        Edition corvanta;
        corvanta.third = QStringLiteral("Corvanta");
        const QString max = QStringLiteral("请先关闭max，再安装客户端！");
        QTest::newRow("standard, 3ds Max running") << standard << true << "-" << 1 << max;
        QTest::newRow("partner, 3ds Max running")
            << partner << true << "-" << 1 << "Pleace close max first and install client!";
        QTest::newRow("Corvanta ignores 3ds Max") << corvanta << true << "-" << 0 << "";
        QTest::newRow("partner over standard")
            << partner << false << "" << 1
            << "The general version of the client has been installed, please install it after uninstall!";
        QTest::newRow("partner over partner") << partner << false << "Nimbrosia" << 0 << "";
        QTest::newRow("standard over standard") << standard << false << "" << 0 << "";
    }
    void refusals()
    {
        QFETCH(Edition, edition);
        QFETCH(bool, maxRunning);
        QFETCH(QString, recordedThird);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        MachineRoot root;
        QTemporaryDir installer;
        makeInstallerFolder(installer.path(), edition, QStringLiteral("http://127.0.0.1:9"));
        if (recordedThird != QLatin1String("-")) {
            auto hkcu = hive(root.path(), QStringLiteral("HKEY_CURRENT_USER"));
            hkcu->setValue(QStringLiteral("Software/Norvale/VantrixZMT/Settings/InstallDir"),
                           QString(root.path() + QStringLiteral("/Old\\VantrixZMT\\1.0.0.12345")));
            hkcu->setValue(QStringLiteral("Software/Norvale/VantrixZMT/Settings/ThirdPart"), recordedThird);
        }
        QProcess max;
        if (maxRunning) {
            max.start(maxImage, QStringList());
            QVERIFY(max.waitForStarted());
        }
        const RunResult r = run(installer.path() + QStringLiteral("/install"), {QStringLiteral("--silent")},
                                root.environment(), installer.path());
        if (maxRunning) {
            max.kill();
            max.waitForFinished();
        }
        QCOMPARE(r.exitCode, exitCode);
        QVERIFY2(QString::fromLocal8Bit(r.err).contains(message), r.err.constData());
        const bool installed = QFileInfo::exists(root.path() + QStringLiteral("/registry/HKEY_LOCAL_MACHINE.ini"))
                               && hive(root.path(), QStringLiteral("HKEY_LOCAL_MACHINE"))->childGroups().contains(QStringLiteral("Software"));
        QCOMPARE(installed, exitCode == 0);
        if (recordedThird != QLatin1String("-") && exitCode == 0)   // reinstalled into the recorded folder
            QVERIFY(QFileInfo(root.path() + QStringLiteral("/Old/VantrixZMT")).isDir());
    }

private:
    QTemporaryDir maxDir;
    QString maxImage;
};

QTEST_GUILESS_MAIN(TestInstallStartup)
#include "tst_installstartup.moc"
