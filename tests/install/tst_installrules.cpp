#include "installrules.h"
#include "registration.h"
#include "testroot.h"

#include <QtTest>

using namespace TestSupport;

class TestInstallRules : public QObject
{
    Q_OBJECT
private slots:
    void installationDir_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("edition");
        QTest::addColumn<QString>("expected");
        QTest::newRow("standard") << "C:\\Program Files\\Vantrix" << ""
                                  << "C:\\Program Files\\Vantrix\\VantrixZMT\\3.0.1.07415";
        QTest::newRow("partner") << "C:\\Program Files\\Nimbrosia" << "Nimbrosia"
                                 << "C:\\Program Files\\Nimbrosia\\VantrixZMT\\3.0.1.07415";
        QTest::newRow("Corvanta") << "C:\\Program Files\\Vantrix" << "Corvanta"
                                  << "C:\\Program Files\\Vantrix\\Vantrix for Unity\\3.0.1.07415";
        QTest::newRow("drive root kept as chosen") << "D:\\" << "" << "D:\\\\VantrixZMT\\3.0.1.07415";
    }
    void installationDir()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, edition);
        QFETCH(QString, expected);
        QCOMPARE(InstallRules::installationDir(chosen, edition, QStringLiteral("3.0.1"), QTime(10, 21, 7, 415)),
                 expected);
    }

    void reducePreviousDir_data()
    {
        QTest::addColumn<QString>("recorded");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("gone, text rule") << "C:\\Program Files\\Vantrix\\VantrixZMT\\3.0.1.07415"
                                         << "C:\\Program Files\\Vantrix";
        QTest::newRow("Corvanta rewritten path") << "D:\\Vantrix\\Apps\\x\\1.0.0.12345" << "D:\\Vantrix\\Apps";
        QTest::newRow("two parts leave nothing") << "VantrixZMT\\1.0" << "";
        QTest::newRow("no backslash leaves nothing") << "nowhere" << "";
        QTest::newRow("empty") << "" << "";
    }
    void reducePreviousDir()
    {
        QFETCH(QString, recorded);
        QFETCH(QString, chosen);
        QCOMPARE(InstallRules::reducePreviousDir(recorded), chosen);
    }

    void reduceExistingDirGoesUpTwoLevels()
    {
        QTemporaryDir dir;
        QDir().mkpath(dir.path() + QStringLiteral("/Vantrix/VantrixZMT/3.0.1.07415"));
        QCOMPARE(InstallRules::reducePreviousDir(dir.path() + QStringLiteral("\\Vantrix\\VantrixZMT\\3.0.1.07415")),
                 dir.path() + QStringLiteral("/Vantrix"));
    }

    void defaultFolder_data()
    {
        QTest::addColumn<QString>("edition");
        QTest::addColumn<QString>("folder");
        QTest::newRow("standard") << "" << "C:\\Program Files\\Vantrix";
        QTest::newRow("Corvanta") << "Corvanta" << "C:\\Program Files\\Vantrix";
        QTest::newRow("partner") << "Nimbrosia" << "C:\\Program Files\\Nimbrosia";
    }
    void defaultFolder()
    {
        QFETCH(QString, edition);
        QFETCH(QString, folder);
        QCOMPARE(InstallRules::defaultFolder(QStringLiteral("C:\\Program Files"), edition), folder);
    }

    void versionFile_data()
    {
        QTest::addColumn<QByteArray>("here");
        QTest::addColumn<QByteArray>("beside");
        QTest::addColumn<QString>("version");
        QTest::newRow("quoted with line break") << QByteArray("\"3.0.1\"\n") << QByteArray() << "3.0.1";
        QTest::newRow("current directory first") << QByteArray("3.0.2") << QByteArray("9.9") << "3.0.2";
        QTest::newRow("beside the installer") << QByteArray() << QByteArray(" 3.0.3\r\n") << "3.0.3";
        QTest::newRow("blank everywhere") << QByteArray("\"\"\n") << QByteArray() << "";
    }
    void versionFile()
    {
        QFETCH(QByteArray, here);
        QFETCH(QByteArray, beside);
        QFETCH(QString, version);
        QTemporaryDir current;
        QTemporaryDir installer;
        if (!here.isNull())
            writeFile(current.path() + QStringLiteral("/version"), here);
        if (!beside.isNull())
            writeFile(installer.path() + QStringLiteral("/version"), beside);
        QCOMPARE(InstallRules::readVersion(current.path(), installer.path()), version);
    }

    void channelReportUrl()
    {
        const QUrl url = Registration::channelReportUrl(QStringLiteral("http://127.0.0.1:81"), QStringLiteral("vx"),
                                                        QStringLiteral("AA:BB:CC:DD:EE:FF"),
                                                        QStringLiteral("[4]Intel(R) Core(TM) i5"));
        QCOMPARE(url.toEncoded(),
                 QByteArray("http://127.0.0.1:81/clientChannel/clientChannelInfo?mark=vx"
                            "&macAddr=AA%3ABB%3ACC%3ADD%3AEE%3AFF&cpu=[4]Intel(R)%20Core(TM)%20i5"));
    }
};

QTEST_GUILESS_MAIN(TestInstallRules)
#include "tst_installrules.moc"
