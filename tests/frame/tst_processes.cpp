#include "core/procutil.h"
#include "testroot.h"

#include <QtTest>

using namespace TestSupport;

// Real processes with chosen image names, started from copies of a sleeping helper. The names
// carry this test's pid so that parallel runs never see each other's processes.
class TestProcesses : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        base = QStringLiteral("vxprobe%1").arg(QCoreApplication::applicationPid());
        const QString image = dir.path() + QLatin1Char('/') + base + QStringLiteral(".exe");
        QVERIFY(QFile::copy(testBin(QStringLiteral("vx_sleeper")), image));
        QFile::setPermissions(image, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        for (int i = 0; i < 2; ++i) {
            auto *p = new QProcess(this);
            p->start(image, QStringList());
            QVERIFY(p->waitForStarted());
            sleepers << p;
        }
    }

    void existProcess_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("running");
        QTest::newRow("suffix appended") << base << true;
        QTest::newRow("with suffix") << base + ".exe" << true;
        QTest::newRow("capital suffix gets another") << base + ".EXE" << false;
        QTest::newRow("other letter case") << base.toUpper() + ".exe" << false;
        QTest::newRow("prefix of the name") << base.left(base.size() - 1) << false;
        QTest::newRow("nobody has it") << base + "x" << false;
    }
    void existProcess()
    {
        QFETCH(QString, name);
        QFETCH(bool, running);
        QCOMPARE(ProcUtil::existProcess(name), running);
    }

    void killEndsEveryOne()
    {
        ProcUtil::killProcess(base + QStringLiteral("x.exe"));   // no such process: nothing happens
        QVERIFY(ProcUtil::existProcess(base));
        ProcUtil::killProcess(base + QStringLiteral(".exe"));
        for (QProcess *p : qAsConst(sleepers)) {
            QVERIFY(p->waitForFinished(5000));
            QCOMPARE(p->exitStatus(), QProcess::CrashExit);
        }
        QVERIFY(!ProcUtil::existProcess(base));
    }

private:
    QTemporaryDir dir;
    QString base;
    QList<QProcess *> sleepers;
};

QTEST_GUILESS_MAIN(TestProcesses)
#include "tst_processes.moc"
