// The real uninstaller, unattended, on installations laid out in a fresh machine root.
#include "installation.h"

#include <QtTest>

using namespace TestSupport;

class TestUninstallEndToEnd : public QObject
{
    Q_OBJECT
private:
    // The uninstaller and the stand-in client copied into the installation, as the installer
    // leaves them; an older version folder beside it is left for the batch to take.
    void equip(const Installation &inst)
    {
        const QString uninstaller = inst.version + QStringLiteral("/uninstall.exe");
        QVERIFY(QFile::copy(bin(QStringLiteral("uninstall")), uninstaller));
        const QString client = inst.version + QLatin1Char('/') + inst.edition.exe;
        QFile::remove(client);
        QVERIFY(QFile::copy(testBin(QStringLiteral("vx_uninstall_client")), client));
        writeFile(inst.product + QStringLiteral("/3.0.0.11111/old.dll"), "left over");
    }
    QProcessEnvironment environment(const MachineRoot &root) const
    {
        QProcessEnvironment env = root.environment();
        env.insert(QStringLiteral("VX_CLIENT_CALLS"), root.path() + QStringLiteral("/client-calls.txt"));
        return env;
    }
    RunResult uninstall(const Installation &inst, const MachineRoot &root)
    {
        return run(inst.version + QStringLiteral("/uninstall.exe"), {QStringLiteral("--silent")}, environment(root));
    }
    QProcess *startProcess(const QString &program, const QStringList &args, const MachineRoot &root)
    {
        auto *p = new QProcess(this);
        p->setProcessEnvironment(environment(root));
        p->start(program, args);
        p->waitForStarted();
        return p;
    }
    static bool gone(const QString &path) { return !QFileInfo::exists(path) && !QFileInfo(path).isSymLink(); }

    void verifyRemoved(const MachineRoot &root, const Installation &inst)
    {
        for (const QString &f : inst.clientFiles)
            QVERIFY2(gone(f), qPrintable(f));
        // The batch takes the product folder with the old version, then itself.
        QTRY_VERIFY_WITH_TIMEOUT(gone(inst.product), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(gone(root.path() + QStringLiteral("/ClearZMT.bat")), 10000);
        QVERIFY(QFileInfo::exists(inst.neighbour));
        for (const QString &s : inst.shortcuts)
            QVERIFY2(gone(s), qPrintable(s));
        const QString r = root.path();
        QVERIFY(!registryHasGroup(r, "HKEY_LOCAL_MACHINE",
                                  "Software/Microsoft/Windows/CurrentVersion/Uninstall/" + inst.recordName));
        QVERIFY(registryHasGroup(r, "HKEY_LOCAL_MACHINE", "Software/Microsoft/Windows/CurrentVersion/Uninstall/OtherProduct"));
        QVERIFY(!registryValue(r, "HKEY_LOCAL_MACHINE", "Software/Microsoft/Windows/CurrentVersion/Run/" + inst.edition.exe).isValid());
        QVERIFY(registryValue(r, "HKEY_LOCAL_MACHINE", "Software/Microsoft/Windows/CurrentVersion/Run/OtherApp.exe").isValid());
        QVERIFY(!registryHasGroup(r, "HKEY_CURRENT_USER", "Software/Norvale/" + inst.recordName));
        QVERIFY(registryHasGroup(r, "HKEY_CURRENT_USER", "Software/Norvale/OtherClient"));
    }

private slots:
    void standardEdition()
    {
        MachineRoot root;
        Edition e;
        e.exe = QStringLiteral("VxE2EClient.exe");
        const Installation inst = layOut(e);
        equip(inst);
        const QString max2010 = seedMax(root.path(), "3dsMax", "12.0\\MAX-1:409", "3ds Max 2010");
        const QString max2014 = seedMax(root.path(), "3dsMax", "16.0", "3ds Max 2014");
        const QString design2016 = seedMax(root.path(), "3dsMaxDesign", "18.0", "2011 tools/3ds Max Design 2016");
        const QString sketch17 = seedSketchUp("2017");
        const QString sketch19 = seedSketchUp("2019");
        writeFile(Platform::appDataDir() + "/SketchUp/Vantrix_ZMT.rb", "not in a version folder");
        QProcess *client = startProcess(inst.version + QLatin1Char('/') + e.exe, {"--stay"}, root);

        const RunResult result = uninstall(inst, root);
        QVERIFY(result.finished);
        QCOMPARE(result.exitCode, 0);
        QVERIFY(client->waitForFinished(10000));   // ended before its files went
        verifyRemoved(root, inst);

        QVERIFY(gone(max2010 + "/o_vantrixMenu.ms"));
        QVERIFY(QFileInfo::exists(max2010 + "/vantrixMenu.ms"));
        QVERIFY(gone(max2014 + "/vantrixMenu.ms"));
        QVERIFY(QFileInfo::exists(max2014 + "/o_vantrixMenu.ms"));
        QVERIFY(gone(design2016 + "/o_vantrixMenu.ms"));   // the whole path is looked at
        QVERIFY(QFileInfo::exists(design2016 + "/vantrixMenu.ms"));
        for (const QString &startup : {max2010, max2014, design2016})
            QVERIFY(QFileInfo::exists(startup + "/other.ms"));
        for (const QString &plugins : {sketch17, sketch19}) {
            QVERIFY(gone(plugins + "/Vantrix_ZMT.rb"));
            QVERIFY(gone(plugins + "/Vantrix_ZMT"));
            QVERIFY(QFileInfo::exists(plugins + "/other_plugin.rb"));
        }
        QVERIFY(QFileInfo::exists(Platform::appDataDir() + "/SketchUp/Vantrix_ZMT.rb"));
        QVERIFY(!readFile(root.path() + "/client-calls.txt").contains("unitydel"));
    }

    void corvantaEdition()
    {
        MachineRoot root;
        Edition e;
        e.exe = QStringLiteral("VxE2EUnity.exe");
        e.third = QStringLiteral("Corvanta");
        e.lang = QStringLiteral("en_us");
        const Installation inst = layOut(e, QString(), true);
        equip(inst);
        const QString max = seedMax(root.path(), "3dsMax", "16.0", "3ds Max 2014");
        const QString sketch = seedSketchUp("2019");
        // Corvanta's client has no 3ds Max part: a running 3ds Max does not stop its removal.
        QVERIFY(QFile::copy(testBin("vx_sleeper"), root.path() + "/3dsmax.exe"));
        QProcess *max3ds = startProcess(root.path() + "/3dsmax.exe", {}, root);

        const RunResult result = uninstall(inst, root);
        max3ds->kill();
        max3ds->waitForFinished();
        QVERIFY(result.finished);
        QCOMPARE(result.exitCode, 0);
        verifyRemoved(root, inst);
        QCOMPARE(readFile(root.path() + "/client-calls.txt"), QByteArray("unitydel\n"));
        QVERIFY(QFileInfo::exists(max + "/vantrixMenu.ms"));
        QVERIFY(QFileInfo::exists(sketch + "/Vantrix_ZMT.rb"));
    }

    void refusedWhile3dsMaxRuns()
    {
        MachineRoot root;
        Edition e;
        e.exe = QStringLiteral("VxE2EClient.exe");
        const Installation inst = layOut(e);
        equip(inst);
        QVERIFY(QFile::copy(testBin("vx_sleeper"), root.path() + "/3dsmax.exe"));
        QProcess *max3ds = startProcess(root.path() + "/3dsmax.exe", {}, root);

        const RunResult result = uninstall(inst, root);
        max3ds->kill();
        max3ds->waitForFinished();
        QCOMPARE(result.exitCode, 1);
        for (const QString &f : inst.clientFiles)
            QVERIFY(QFileInfo::exists(f));
        QVERIFY(registryHasGroup(root.path(), "HKEY_LOCAL_MACHINE",
                                 "Software/Microsoft/Windows/CurrentVersion/Uninstall/VantrixZMT"));
    }

    void foreignInstallDir_data()
    {
        QTest::addColumn<QString>("recorded");
        QTest::newRow("user profile") << "<user>";
        QTest::newRow("machine root") << "<root>";
        QTest::newRow("outside any product folder") << "<root>/Shared/3.0.1.12345";
    }
    void foreignInstallDir()
    {
        QFETCH(QString, recorded);
        MachineRoot root;
        Edition e;
        e.exe = QStringLiteral("VxE2EClient.exe");
        const Installation inst = layOut(e);
        equip(inst);
        recorded.replace("<root>", root.path()).replace("<user>", QFileInfo(Platform::desktopDir()).path());
        writeFile(recorded + "/sentinel.txt", "mine");
        writeRecord(inst, recorded);

        const RunResult result = uninstall(inst, root);
        QVERIFY(result.finished);
        QCOMPARE(result.exitCode, 2);   // the folder stayed: a script must see it
        QVERIFY2(result.err.contains("left in place"), result.err.constData());
        QTest::qWait(1000);   // a batch, were one started, would act within this
        QVERIFY(QFileInfo::exists(recorded + "/sentinel.txt"));
        QVERIFY(QFileInfo::exists(inst.version + "/uninstall.exe"));
        QVERIFY(QFileInfo::exists(inst.product + "/3.0.0.11111/old.dll"));
        QVERIFY(!QFileInfo::exists(root.path() + "/ClearZMT.bat"));
        QVERIFY(!registryHasGroup(root.path(), "HKEY_LOCAL_MACHINE",
                                  "Software/Microsoft/Windows/CurrentVersion/Uninstall/VantrixZMT"));
    }

    void nothingInstalled()
    {
        MachineRoot root;
        Edition e;
        const Installation inst = layOut(e);
        equip(inst);
        auto hklm = hive(root.path(), "HKEY_LOCAL_MACHINE");
        hklm->remove("Software/Microsoft/Windows/CurrentVersion/Uninstall/VantrixZMT");
        hklm->sync();
        const RunResult result = uninstall(inst, root);
        QCOMPARE(result.exitCode, 1);
        QVERIFY(QFileInfo::exists(inst.version + "/Qt5Core.dll"));
    }
};

QTEST_GUILESS_MAIN(TestUninstallEndToEnd)
#include "tst_uninstall_e2e.moc"
