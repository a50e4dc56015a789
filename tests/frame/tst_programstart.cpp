#include "testroot.h"

#include <QtTest>

using namespace TestSupport;

// The common start of the three real programs: single instance per machine root, and a quiet
// end without an installation.
class TestProgramStart : public QObject
{
    Q_OBJECT
private:
    QProcess *holdName(const MachineRoot &root)
    {
        auto *probe = new QProcess(this);
        probe->setProcessEnvironment(root.environment());
        probe->start(testBin(QStringLiteral("vx_instanceprobe")), QStringList());
        probe->waitForReadyRead(10000);
        const QByteArray said = probe->readLine().trimmed();
        if (said != "first")
            qWarning() << "probe said" << said;
        return probe;
    }
    QByteArray probeOnce(const MachineRoot &root)
    {
        return run(testBin(QStringLiteral("vx_instanceprobe")), {}, root.environment()).out.trimmed();
    }

private slots:
    void programs_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("args");
        QTest::newRow("install") << "install" << QStringList();
        QTest::newRow("update") << "update" << QStringList{"3.0.1"};
        QTest::newRow("uninstall") << "uninstall" << QStringList();
    }


    void noEditionFileNoRecord_data() { programs_data(); }
    void noEditionFileNoRecord()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, args);
        MachineRoot root;
        RunResult windowed = run(bin(program), args, root.environment());
        QVERIFY(windowed.finished);
        QCOMPARE(windowed.exitCode, 0);
        QVERIFY(windowed.err.isEmpty() || !windowed.err.contains("No installation"));

        RunResult silent = run(bin(program), args + QStringList{"--silent"}, root.environment());
        QCOMPARE(silent.exitCode, 1);
        QVERIFY2(silent.err.contains("No installation"), silent.err.constData());
    }

    void secondInstanceEnds_data() { programs_data(); }
    void secondInstanceEnds()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, args);
        MachineRoot root;
        QProcess *first = holdName(root);

        RunResult windowed = run(bin(program), args, root.environment());
        QCOMPARE(windowed.exitCode, 0);
        RunResult silent = run(bin(program), args + QStringList{"--silent"}, root.environment());
        QCOMPARE(silent.exitCode, 1);
        QVERIFY2(silent.err.contains("running"), silent.err.constData());

        MachineRoot other;
        QCOMPARE(probeOnce(other), QByteArray("first"));
        RunResult elsewhere = run(bin(program), args + QStringList{"--silent"}, other.environment());
        QVERIFY2(elsewhere.err.contains("No installation"), elsewhere.err.constData());

        first->closeWriteChannel();
        QVERIFY(first->waitForFinished(5000));
    }

    void crashedFirstInstanceDoesNotBlock()
    {
        MachineRoot root;
        QProcess *first = holdName(root);
        QCOMPARE(probeOnce(root), QByteArray("second"));
        first->kill();
        QVERIFY(first->waitForFinished(5000));
        QCOMPARE(probeOnce(root), QByteArray("first"));
    }

    // Every run appends to its program's log in the temporary folder; one grown past its bound
    // starts afresh instead of keeping every earlier run's trace.
    void logKeepsRunsWithinBound_data()
    {
        QTest::addColumn<qint64>("earlier");
        QTest::addColumn<bool>("kept");
        QTest::newRow("small log kept") << qint64(4096) << true;
        QTest::newRow("overgrown log restarted") << qint64(40) * 1024 * 1024 << false;
    }
    void logKeepsRunsWithinBound()
    {
        QFETCH(qint64, earlier);
        QFETCH(bool, kept);
        MachineRoot root;
        QTemporaryDir temp;
        const QString log = temp.path() + QStringLiteral("/vantrix-uninstall.log");
        {
            QFile file(log);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QByteArray line("earlier run\n");
            line += QByteArray(static_cast<int>(earlier) - line.size(), 'x');
            QVERIFY(file.write(line) == earlier);
        }
        QProcessEnvironment env = root.environment();
        env.insert(QStringLiteral("TMPDIR"), temp.path());
        QCOMPARE(run(bin(QStringLiteral("uninstall")), {QStringLiteral("--silent")}, env).exitCode, 1);

        QFile file(log);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        QCOMPARE(text.startsWith("earlier run"), kept);
        QVERIFY(text.contains("---- uninstall started"));
        if (!kept)
            QVERIFY(text.size() < 1024 * 1024);
    }
};

QTEST_GUILESS_MAIN(TestProgramStart)
#include "tst_programstart.moc"
