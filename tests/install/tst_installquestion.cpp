#include "core/installcontext.h"
#include "installerfolder.h"
#include "singleapp.h"
#include "startup.h"
#include "testroot.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

using namespace TestSupport;

// The reinstall question of a windowed start, answered by a timer as a user would.
class TestInstallQuestion : public QObject
{
    Q_OBJECT
private slots:
    void declinedLeavesEverything_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("Cancel") << "noBtn";
        QTest::newRow("close button") << "closeButton";
    }
    void declinedLeavesEverything()
    {
        QFETCH(QString, button);
        MachineRoot root;
        QTemporaryDir installer;
        QTemporaryDir clientDir;
        Edition e;
        e.exe = QStringLiteral("VX-Q%1.exe").arg(QCoreApplication::applicationPid());
        makeInstallerFolder(installer.path(), e, QStringLiteral("http://127.0.0.1:9"));
        auto hkcu = hive(root.path(), QStringLiteral("HKEY_CURRENT_USER"));
        hkcu->setValue(QStringLiteral("Software/Norvale/VantrixZMT/Settings/InstallDir"),
                       QString(root.path() + QStringLiteral("/Old\\VantrixZMT\\1.0.0.12345")));
        hkcu->sync();
        const QString image = clientDir.path() + QLatin1Char('/') + e.exe;
        copyExecutable(testBin(QStringLiteral("vx_sleeper")), image);
        QProcess client;
        client.start(image, QStringList());
        QVERIFY(client.waitForStarted());

        InstallContext::overrideProgramDir(installer.path());
        QString asked;
        // Answers as soon as the box is up; a slow start (sanitizers, a busy machine) only delays it.
        QTimer answer;
        answer.setInterval(50);
        QObject::connect(&answer, &QTimer::timeout, [&] {
            QWidget *box = QApplication::activeModalWidget();
            if (!box)
                return;
            answer.stop();
            asked = box->findChild<QLabel *>(QStringLiteral("info"))->text();
            box->findChild<QPushButton *>(button)->click();
        });
        answer.start();
        const int code = runInstaller(*static_cast<SingleApp *>(qApp));
        InstallContext::overrideProgramDir(QString());

        QCOMPARE(code, 0);
        QCOMPARE(asked, QStringLiteral("客户端已安装，是否覆盖安装？"));
        QCOMPARE(client.state(), QProcess::Running);
        QVERIFY(!QFileInfo::exists(root.path() + QStringLiteral("/Old")));
        QVERIFY(!hive(root.path(), QStringLiteral("HKEY_LOCAL_MACHINE"))->childGroups().contains(QStringLiteral("Software")));
        client.kill();
        client.waitForFinished();
    }
};

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    SingleApp app(argc, argv);
    TestInstallQuestion test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_installquestion.moc"
