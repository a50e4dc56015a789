#include "fakeupdateserver.h"
#include "installation.h"
#include "published.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

using namespace TestSupport;

// The real update program, unattended, on an installation in a machine root of its own.
class TestUpdateEndToEnd : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<MachineRoot> root;
    std::unique_ptr<QTemporaryDir> serverDir;
    std::unique_ptr<FakeUpdateServer> server;
    Installation inst;
    const QString version = QStringLiteral("5.3.0");
    const QStringList ours{QStringLiteral("update"), QStringLiteral("service.ini")};

    // The served version: 44 files in four folders, the client listed under the standard
    // edition's server name.
    static QList<ServedFile> servedVersion(int bulk = 0)
    {
        QList<ServedFile> files;
        for (int i = 0; i < bulk; ++i)
            files << ServedFile{"root/bulk", QString("f%1.dat").arg(i, 4, 10, QChar('0')), "bulk v2 " + QByteArray::number(i)};
        for (int i = 0; i < 10; ++i)
            files << ServedFile{"root/", QString("top%1.dll").arg(i), "top " + QByteArray::number(i)};
        for (int i = 0; i < 15; ++i)
            files << ServedFile{"root/bin", QString("b%1.dll").arg(i), QByteArray(1000 + i, char('a' + i))};
        for (int i = 0; i < 15; ++i)
            files << ServedFile{"root/plugins/x", QString("p%1.ms").arg(i), "plugin " + QByteArray::number(i)};
        files << ServedFile{"root/res", "new.dat", "a file new in 5.3.0"};
        files << ServedFile{"root/res", "icon.png", "png"};
        files << ServedFile{"root/", "uninstall.exe", "uninstaller"};
        files << ServedFile{"root/", "VX-X.exe", "#!/bin/sh\n# client 5.3.0\n"};
        return files;
    }

    static QMap<QString, QByteArray> expectedTree(const QList<ServedFile> &served)
    {
        QMap<QString, QByteArray> tree = installedForm(served);
        tree.insert("VantrixZMT.exe", tree.take("VX-X.exe"));
        return tree;
    }

    // The installed 5.2 version: the served one with the client, b3.dll and the bulk files older,
    // new.dat missing.
    void installPrevious(const QList<ServedFile> &served)
    {
        QMap<QString, QByteArray> tree = expectedTree(served);
        tree.insert("VantrixZMT.exe", "#!/bin/sh\n# client 5.2.0\n");
        tree.insert("bin/b3.dll", "old library");
        tree.remove("res/new.dat");
        for (auto it = tree.begin(); it != tree.end(); ++it) {
            if (it.key().startsWith("bulk/"))
                it.value() = "bulk v1";
        }
        for (auto it = tree.cbegin(); it != tree.cend(); ++it)
            writeFile(inst.dir + "/" + it.key(), it.value());
    }

    QMap<QString, QByteArray> installedTree() const { return readTree(inst.dir, ours); }

    // Without the leftovers a failed run may leave for the next one.
    QMap<QString, QByteArray> installedWithoutLeftovers() const
    {
        QMap<QString, QByteArray> tree = installedTree();
        for (const QString &key : tree.keys()) {
            if (key.endsWith("_VX_DELETE", Qt::CaseInsensitive))
                tree.remove(key);
        }
        return tree;
    }

    void prepare(const Edition &edition, const QList<ServedFile> &served, int stall = 30)
    {
        inst = makeInstallation(root->path(), edition, "5.2.0");
        installPrevious(served);
        publish(serverDir->path(), version, server->base() + "/", served);
        inst.copyUpdater();
        inst.writeServiceIni(server->base(), server->base(), stall);
    }

    RunResult runUpdater(const QStringList &args, const QProcessEnvironment &env)
    {
        return run(inst.dir + "/update", args, env, QString(), 120000);
    }

    static quint16 freePort()
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        return probe.serverPort();
    }

private slots:
    void init()
    {
        root = std::make_unique<MachineRoot>();
        serverDir = std::make_unique<QTemporaryDir>();
        server = std::make_unique<FakeUpdateServer>(serverDir->path());
    }
    void cleanup()
    {
        server.reset();
        serverDir.reset();
        root.reset();
    }

    void threeChangedFiles()
    {
        const QList<ServedFile> served = servedVersion();
        QCOMPARE(served.size(), 44);
        prepare(Edition(), served);
        const RunResult r = runUpdater({version, "--silent"}, root->environment());
        QVERIFY2(r.finished && r.exitCode == 0, r.err.constData());
        QCOMPARE(server->fileRequests().size(), 3);
        QCOMPARE(installedTree(), expectedTree(served));
        QVERIFY(leftovers(inst.dir).isEmpty());
        QCOMPARE(inst.uninstallValue("DisplayVersion").toString(), version);
        QCOMPARE(inst.settingsValue("InstallDir").toString(), QString(inst.dir).replace('/', '\\'));
        // Nothing is started at the end of an unattended run.
        QVERIFY(!QFile::exists(inst.dir + "/started.txt"));
    }

    void failuresLeaveInstallationAlone_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<bool>("hostile");
        QTest::addColumn<QString>("lang");
        QTest::addColumn<QString>("message");
        using F = FakeUpdateServer::Fault;
        QTest::newRow("wrong bytes") << int(F::WrongBytes) << false << "en_us" << "File download error!";
        QTest::newRow("file HTTP 500") << int(F::FileStatus) << false << "en_us" << "File download error!";
        QTest::newRow("file stalls") << int(F::FileStall) << false << "en_us" << "File download error!";
        QTest::newRow("manifest HTTP 500") << int(F::ManifestStatus) << false << "en_us" << "File list error!";
        QTest::newRow("manifest stalls") << int(F::ManifestStall) << false << "en_us" << "File list error!";
        QTest::newRow("hostile path") << int(F::None) << true << "en_us" << "File list error!";
        QTest::newRow("Chinese message") << int(F::FileStatus) << false << "zh_cn" << "下载文件失败！";
    }
    void failuresLeaveInstallationAlone()
    {
        QFETCH(int, fault);
        QFETCH(bool, hostile);
        QFETCH(QString, lang);
        QFETCH(QString, message);
        Edition e;
        e.lang = lang;
        const QList<ServedFile> served = servedVersion();
        prepare(e, served, 1);
        if (hostile) {
            QList<ServedFile> evil = served;
            evil << ServedFile{"root/", "../../../../../evil.txt", "evil"};
            server->setManifest(manifestXml(entriesOf(evil), server->base() + "/"));
        }
        server->setFault(FakeUpdateServer::Fault(fault));
        const QMap<QString, QByteArray> before = installedTree();
        QProcessEnvironment env = root->environment();
        env.insert("LANG", "C.UTF-8");
        env.insert("LC_ALL", "C.UTF-8");
        const RunResult r = runUpdater({version, "--silent"}, env);
        QVERIFY(r.finished);
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(QString::fromUtf8(r.err).contains(message), r.err.constData());
        QCOMPARE(installedWithoutLeftovers(), before);
        QCOMPARE(inst.uninstallValue("DisplayVersion").toString(), QString("5.2.0"));
        QVERIFY(!QFile::exists(root->path() + "/evil.txt"));
        QVERIFY(!QFile::exists(root->path() + "/Program Files/evil.txt"));
    }

    // Killed while swapping, then run again: the client never goes missing, and the second run
    // completes the version.
    void killDuringSwap()
    {
        QList<ServedFile> served = servedVersion(800);
        prepare(Edition(), served);
        const QString client = inst.dir + "/VantrixZMT.exe";
        const QString firstTemp = inst.dir + "/bulk/f0000.dat_DOWN_VX_DELETE";

        QProcess updater;
        updater.setProcessEnvironment(root->environment());
        updater.start(inst.dir + "/update", {version, "--silent"});
        QVERIFY(updater.waitForStarted());
        bool tempSeen = false;
        bool killed = false;
        int clientMissing = 0;
        QElapsedTimer guard;
        guard.start();
        while (updater.state() != QProcess::NotRunning && guard.elapsed() < 120000) {
            if (!QFileInfo::exists(client))
                ++clientMissing;
            const bool temp = QFileInfo::exists(firstTemp);
            if (temp)
                tempSeen = true;
            else if (tempSeen && !killed) {
                updater.kill(); // SIGKILL: the swap has begun
                killed = true;
            }
            QCoreApplication::processEvents();
        }
        updater.waitForFinished(10000);
        QCOMPARE(clientMissing, 0);
        if (!killed)
            QWARN(qPrintable(QString("the run ended before the swap could be interrupted; temp seen: %1").arg(tempSeen)));
        else
            QCOMPARE(updater.exitStatus(), QProcess::CrashExit);
        int swapped = 0;
        for (int i = 0; i < 800; ++i)
            swapped += readFile(inst.dir + QString("/bulk/f%1.dat").arg(i, 4, 10, QChar('0'))).startsWith("bulk v2");
        qDebug() << "swapped before the kill:" << swapped;

        const RunResult second = runUpdater({version, "--silent"}, root->environment());
        QVERIFY2(second.exitCode == 0, second.err.constData());
        QCOMPARE(installedTree(), expectedTree(served));
        QVERIFY(leftovers(inst.dir).isEmpty());
        QCOMPARE(inst.uninstallValue("DisplayVersion").toString(), version);
    }

    void againstNginx()
    {
        const QString nginx = QStringLiteral("/usr/sbin/nginx");
        if (!QFileInfo(nginx).isExecutable())
            QSKIP("nginx is not installed");
        const quint16 port = freePort();
        const QString base = QStringLiteral("http://127.0.0.1:%1").arg(port);
        const QList<ServedFile> served = servedVersion();
        inst = makeInstallation(root->path(), Edition(), "5.2.0");
        installPrevious(served);
        const QString tree = serverDir->path() + "/tree";
        publish(tree, version, base + "/", served);
        inst.copyUpdater();
        inst.writeServiceIni(base, base, 5);

        const QString prefix = serverDir->path() + "/nginx";
        QDir().mkpath(prefix + "/tmp");
        writeFile(prefix + "/nginx.conf", QStringLiteral(R"(daemon off;
master_process off;
pid %1/nginx.pid;
error_log %1/error.log;
events { worker_connections 64; }
http {
  access_log %1/access.log;
  client_body_temp_path %1/tmp; proxy_temp_path %1/tmp; fastcgi_temp_path %1/tmp;
  uwsgi_temp_path %1/tmp; scgi_temp_path %1/tmp;
  server {
    listen 127.0.0.1:%2;
    root %3;
    location = /getVersionFile.htm { default_type application/xml; try_files /manifests/$arg_version.xml =404; }
    location = /getVersionStream.htm { default_type application/octet-stream; try_files /files/$arg_version/$arg_path =404; }
  }
}
)").arg(prefix).arg(port).arg(tree).toUtf8());
        QProcess server;
        server.start(nginx, {"-p", prefix, "-c", prefix + "/nginx.conf"});
        QVERIFY(server.waitForStarted());
        bool up = false;
        for (int i = 0; i < 100 && !up; ++i) {
            QTcpSocket probe;
            probe.connectToHost(QHostAddress::LocalHost, port);
            up = probe.waitForConnected(100);
            if (!up)
                QTest::qWait(50);
        }
        QVERIFY2(up, readFile(prefix + "/error.log").constData());

        const RunResult r = runUpdater({version, "--silent"}, root->environment());
        server.kill();
        server.waitForFinished();
        QVERIFY2(r.exitCode == 0, r.err.constData());
        QCOMPARE(installedTree(), expectedTree(served));
        QVERIFY(leftovers(inst.dir).isEmpty());
        const QList<QByteArray> log = readFile(prefix + "/access.log").split('\n');
        int fetched = 0;
        for (const QByteArray &line : log)
            fetched += line.contains("getVersionStream.htm") ? 1 : 0;
        QCOMPARE(fetched, 3);
    }

    void startWithoutVersion()
    {
        inst = makeInstallation(root->path(), Edition(), "5.2.0");
        inst.copyUpdater();
        const RunResult windowed = runUpdater({}, root->environment());
        QCOMPARE(windowed.exitCode, 0);
        const RunResult silent = runUpdater({"--silent"}, root->environment());
        QCOMPARE(silent.exitCode, 1);
        QVERIFY(!silent.err.isEmpty());
    }

    // Beside VX.ini the updater is not in an installation: it ends and touches nothing.
    void editionFileBesideUpdater()
    {
        const QList<ServedFile> served = servedVersion();
        prepare(Edition(), served);
        writeEditionFile(inst.dir, Edition());
        const QMap<QString, QByteArray> before = readTree(inst.dir);
        const RunResult windowed = runUpdater({version}, root->environment());
        QCOMPARE(windowed.exitCode, 0);
        const RunResult silent = runUpdater({version, "--silent"}, root->environment());
        QCOMPARE(silent.exitCode, 1);
        QVERIFY(server->requests().isEmpty());
        QCOMPARE(readTree(inst.dir), before);
        QCOMPARE(inst.uninstallValue("DisplayVersion").toString(), QString("5.2.0"));
    }
};

QTEST_GUILESS_MAIN(TestUpdateEndToEnd)
#include "tst_update_e2e.moc"
