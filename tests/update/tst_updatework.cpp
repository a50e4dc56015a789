#include "fakeupdateserver.h"
#include "filesync.h"
#include "published.h"
#include "updateglobals.h"
#include "updatework.h"

#include <QtTest>

using namespace TestSupport;

// The worker against a fake update server: progress and error sequences, what is fetched, what
// ends up on disk.
class TestUpdateWork : public QObject
{
    Q_OBJECT
private:
    struct Outcome
    {
        QList<int> pros;
        QList<int> errors;
        QStringList notes;
        QStringList sequence; // pro values and "e<code>", in emission order
    };

    std::unique_ptr<QTemporaryDir> work;
    std::unique_ptr<FakeUpdateServer> server;
    QString install;   // installation directory
    QString published; // the server's tree
    const QString version = QStringLiteral("5.3.0");

    QString prefix() const { return server->base() + QStringLiteral("/"); }

    ServiceConfig config(int stall = 30) const
    {
        ServiceConfig c;
        c.updatePrimary = server->base();
        c.updateAlternate = server->base();
        c.stallTimeoutSeconds = stall;
        return c;
    }

    Outcome runWorker(const ServiceConfig &c, bool isEn = false, const QString &third = QString())
    {
        UpdateWork worker(c);
        QSignalSpy pros(&worker, &UpdateWork::pro);
        QSignalSpy errors(&worker, &UpdateWork::error);
        QSignalSpy notes(&worker, &UpdateWork::content);
        Outcome out;
        QEventLoop loop;
        connect(&worker, &UpdateWork::pro, &loop, [&](int p) {
            out.sequence << QString::number(p);
            if (p == 100)
                loop.quit();
        });
        connect(&worker, &UpdateWork::error, &loop, [&](int e) {
            out.sequence << QStringLiteral("e") + QString::number(e);
            loop.quit();
        });
        // Only a guard against a hung test; the stall cases end within their own timeout.
        QTimer::singleShot(120000, &loop, &QEventLoop::quit);
        worker.start(isEn, third);
        loop.exec();
        for (const QList<QVariant> &args : qAsConst(pros))
            out.pros << args.first().toInt();
        for (const QList<QVariant> &args : qAsConst(errors))
            out.errors << args.first().toInt();
        for (const QList<QVariant> &args : qAsConst(notes))
            out.notes << args.first().toString();
        return out;
    }

    // Version 5.3.0 as served: a client, a file in a subfolder, a top-level file.
    QList<ServedFile> servedFiles() const
    {
        return {
            {QStringLiteral("root/"), QStringLiteral("VX-X.exe"), QByteArray("client v2")},
            {QStringLiteral("root/bin"), QStringLiteral("a.dll"), QByteArray("library a v2")},
            {QStringLiteral("root/"), QStringLiteral("readme.txt"), QByteArray("readme, unchanged")},
        };
    }

    QString local(const QString &relative) const { return install + QLatin1Char('/') + relative; }

private slots:
    void init()
    {
        work = std::make_unique<QTemporaryDir>();
        install = work->path() + QStringLiteral("/Program Files/Vantrix/VantrixZMT/5.2.0.12345");
        published = work->path() + QStringLiteral("/published");
        QDir().mkpath(install);
        server = std::make_unique<FakeUpdateServer>(published);
        // The window hands the worker backslash roots; the file layer must take them.
        installRoot = QString(install).replace(QLatin1Char('/'), QLatin1Char('\\'));
        downloadRoot = installRoot;
        requestedVersion = version;
    }
    void cleanup()
    {
        server.reset();
        work.reset();
    }

    void fullRun()
    {
        publish(published, version, prefix(), servedFiles(), QStringLiteral("<b>new</b> things"));
        writeFile(local("VantrixZMT.exe"), "client v1");
        writeFile(local("readme.txt"), "readme, unchanged");
        // bin/ does not exist yet.
        const Outcome out = runWorker(config());
        QCOMPARE(out.pros, QList<int>({10, 20, 30, 40, 70, 100}));
        QVERIFY(out.errors.isEmpty());
        QCOMPARE(out.notes, QStringList{"<b>new</b> things"});
        QCOMPARE(readFile(local("VantrixZMT.exe")), QByteArray("client v2"));
        QCOMPARE(readFile(local("bin/a.dll")), QByteArray("library a v2"));
        QVERIFY(!QFile::exists(local("VX-X.exe")));
        QCOMPARE(server->fileRequests(), QStringList({"files/root//VX-X.exe", "files/root/bin/a.dll"}));
        QVERIFY(leftovers(install).isEmpty());
        QVERIFY(server->requests().first().startsWith("/getVersionFile.htm?version=5.3.0"));
    }

    // Many files travel over a few kept-alive connections, not one each.
    void connectionsAreReused()
    {
        QList<ServedFile> files;
        for (int i = 0; i < 40; ++i)
            files << ServedFile{"root/many", QString("f%1.dat").arg(i), "v2 " + QByteArray::number(i)};
        publish(published, version, prefix(), files);
        const Outcome out = runWorker(config());
        QCOMPARE(out.pros.last(), 100);
        QCOMPARE(server->fileRequests().size(), 40);
        // Qt keeps at most six connections to one host at a time, but on a loaded CI machine it
        // once opened nine in all; one connection per file would be forty.
        QVERIFY2(server->connections() <= 12, qPrintable(QString::number(server->connections())));
        QCOMPARE(readTree(install), installedForm(files));
    }

    void allCurrentFetchesNothing()
    {
        publish(published, version, prefix(), servedFiles());
        for (const auto &[relative, bytes] : installedForm(servedFiles()).toStdMap())
            writeFile(local(relative == "VX-X.exe" ? "VantrixZMT.exe" : relative), bytes);
        const Outcome out = runWorker(config());
        QCOMPARE(out.sequence, QStringList({"10", "20", "30", "40", "70", "100"}));
        QVERIFY(server->fileRequests().isEmpty());
    }

    // Failures before any download: what is emitted, and nothing is written.
    void manifestFailures_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<QByteArray>("manifest");
        QTest::addColumn<QStringList>("sequence");
        const int none = int(FakeUpdateServer::Fault::None);
        QTest::newRow("HTTP 500") << int(FakeUpdateServer::Fault::ManifestStatus) << QByteArray()
                                  << QStringList{"e-1"};
        QTest::newRow("stalled") << int(FakeUpdateServer::Fault::ManifestStall) << QByteArray()
                                 << QStringList{"e-1"};
        QTest::newRow("not XML") << none << QByteArray("<html><body>maintenance") << QStringList{"10", "e-1"};
        QTest::newRow("empty files") << none << QByteArray("<u><prefix>x</prefix><files/></u>")
                                     << QStringList{"10", "20", "e-1"};
        QTest::newRow("no files element") << none << QByteArray("<u><note>n</note></u>")
                                          << QStringList{"10", "20", "e-1"};
        QTest::newRow("client filtered away") << none
                                              << QByteArray("<u><files><f name=\"VantrixZMT.exe\" "
                                                            "path=\"r/\" hashCode=\"1\"/></files></u>")
                                              << QStringList{"10", "20", "e-1"};
    }
    void manifestFailures()
    {
        QFETCH(int, fault);
        QFETCH(QByteArray, manifest);
        QFETCH(QStringList, sequence);
        server->setFault(FakeUpdateServer::Fault(fault));
        if (!manifest.isEmpty())
            server->setManifest(manifest);
        writeFile(local("VantrixZMT.exe"), "client v1");
        const Outcome out = runWorker(config(1));
        QCOMPARE(out.sequence, sequence);
        QVERIFY(server->fileRequests().isEmpty());
        QCOMPARE(readTree(install).keys(), QStringList{"VantrixZMT.exe"});
    }

    void hostilePaths_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("landing"); // where the fault would put the file, below the work dir
        QTest::newRow("dot-dot in path") << "root/../../../.." << "evil.txt" << "Program Files/evil.txt";
        QTest::newRow("dot-dot in name") << "root/" << "../../evil.txt" << "Program Files/Vantrix/evil.txt";
        QTest::newRow("backslashes in name") << "root/bin" << "..\\..\\..\\evil.txt"
                                             << "Program Files/Vantrix/evil.txt";
        QTest::newRow("drive letter") << "root/C:" << "evil.txt" << "C:/evil.txt";
    }
    void hostilePaths()
    {
        QFETCH(QString, path);
        QFETCH(QString, name);
        QFETCH(QString, landing);
        QList<ServedFile> files = servedFiles();
        files << ServedFile{path, name, QByteArray("evil")};
        publish(published, version, prefix(), {});
        server->setManifest(manifestXml(entriesOf(files), prefix()));
        const Outcome out = runWorker(config());
        QCOMPARE(out.sequence, QStringList({"10", "e-1"}));
        QVERIFY(server->fileRequests().isEmpty());
        QVERIFY(!QFile::exists(work->path() + QLatin1Char('/') + landing));
        QVERIFY(readTree(install).isEmpty());
    }

    // Download failures: nothing installed changes, the run ends with -2.
    void downloadFailures_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<bool>("upperCaseHash");
        QTest::newRow("HTTP 500") << int(FakeUpdateServer::Fault::FileStatus) << false;
        QTest::newRow("wrong bytes") << int(FakeUpdateServer::Fault::WrongBytes) << false;
        QTest::newRow("stalled mid-file") << int(FakeUpdateServer::Fault::FileStall) << false;
        QTest::newRow("upper-case hash never matches") << int(FakeUpdateServer::Fault::None) << true;
    }
    void downloadFailures()
    {
        QFETCH(int, fault);
        QFETCH(bool, upperCaseHash);
        QList<ManifestEntry> entries = entriesOf(servedFiles());
        if (upperCaseHash) {
            for (ManifestEntry &e : entries)
                e.hashCode = e.hashCode.toUpper();
        }
        publish(published, version, prefix(), servedFiles());
        server->setManifest(manifestXml(entries, prefix()));
        server->setFault(FakeUpdateServer::Fault(fault));
        writeFile(local("VantrixZMT.exe"), "client v1");
        writeFile(local("readme.txt"), "readme, unchanged");
        const Outcome out = runWorker(config(1));
        QCOMPARE(out.sequence, QStringList({"10", "20", "30", "40", "e-2"}));
        QCOMPARE(readFile(local("VantrixZMT.exe")), QByteArray("client v1"));
        QVERIFY(!QFile::exists(local("bin/a.dll")));
        QCOMPARE(readFile(local("readme.txt")), QByteArray("readme, unchanged"));
        // Upper case: even the unchanged file counts as changed and is fetched.
        if (upperCaseHash)
            QVERIFY(server->fileRequests().contains("files/root//readme.txt"));
    }

    // A download large enough to be written past the file cache arrives whole, its end unaligned,
    // and a damaged one still leaves the installed file alone.
    void largeFile_data()
    {
        QTest::addColumn<int>("fault");
        QTest::newRow("arrives whole") << int(FakeUpdateServer::Fault::None);
        QTest::newRow("wrong bytes") << int(FakeUpdateServer::Fault::WrongBytes);
    }
    void largeFile()
    {
        QFETCH(int, fault);
        QByteArray big(40 * 1024 * 1024 + 4097, Qt::Uninitialized);
        quint32 seed = 7;
        for (char &c : big) {
            seed = seed * 1664525u + 1013904223u;
            c = static_cast<char>(seed >> 24);
        }
        QList<ServedFile> files = servedFiles();
        files << ServedFile{QStringLiteral("root/scene"), QStringLiteral("big.bin"), big};
        publish(published, version, prefix(), files);
        server->setFault(FakeUpdateServer::Fault(fault));
        writeFile(local("scene/big.bin"), "old scene");
        const Outcome out = runWorker(config());
        if (FakeUpdateServer::Fault(fault) == FakeUpdateServer::Fault::None) {
            QCOMPARE(out.pros.last(), 100);
            QVERIFY(readFile(local("scene/big.bin")) == big);
            QVERIFY(leftovers(install).isEmpty());
        } else {
            QCOMPARE(out.errors, QList<int>{-2});
            QCOMPARE(readFile(local("scene/big.bin")), QByteArray("old scene"));
        }
    }

    void secondOfTwoFails()
    {
        publish(published, version, prefix(), servedFiles());
        server->failFile(QStringLiteral("a.dll"));
        writeFile(local("VantrixZMT.exe"), "client v1");
        writeFile(local("readme.txt"), "readme, unchanged");
        writeFile(local("bin/a.dll"), "library a v1");
        const Outcome out = runWorker(config());
        QCOMPARE(out.sequence, QStringList({"10", "20", "30", "40", "e-2"}));
        QCOMPARE(readFile(local("VantrixZMT.exe")), QByteArray("client v1"));
        QCOMPARE(readFile(local("bin/a.dll")), QByteArray("library a v1"));
        QCOMPARE(readFile(local("VantrixZMT.exe_DOWN_VX_DELETE")), QByteArray("client v2"));
        QVERIFY(!QFile::exists(local("bin/a.dll_DOWN_VX_DELETE")));

        // The retry fetches only what is still missing and cleans up.
        server = std::make_unique<FakeUpdateServer>(published);
        publish(published, version, prefix(), servedFiles());
        const Outcome retry = runWorker(config());
        QCOMPARE(retry.pros.last(), 100);
        QCOMPARE(server->fileRequests(), QStringList{"files/root/bin/a.dll"});
        QCOMPARE(readFile(local("VantrixZMT.exe")), QByteArray("client v2"));
        QCOMPARE(readFile(local("bin/a.dll")), QByteArray("library a v2"));
        QVERIFY(leftovers(install).isEmpty());
    }

    void damagedTemporaryIsFetchedAgain()
    {
        publish(published, version, prefix(), servedFiles());
        writeFile(local("bin/a.dll_DOWN_VX_DELETE"), "half of it");
        const Outcome out = runWorker(config());
        QCOMPARE(out.pros.last(), 100);
        QVERIFY(server->fileRequests().contains("files/root/bin/a.dll"));
        QCOMPARE(readFile(local("bin/a.dll")), QByteArray("library a v2"));
    }

    void leftoversOfEarlierRunsSwept()
    {
        publish(published, version, prefix(), servedFiles());
        for (const auto &[relative, bytes] : installedForm(servedFiles()).toStdMap())
            writeFile(local(relative == "VX-X.exe" ? "VantrixZMT.exe" : relative), bytes);
        const QStringList old{"VantrixZMT.exe1712345678901_VX_DELETE", "bin/a.dll_DOWN_VX_DELETE",
                              "deep/er/x.dat_vx_delete"};
        for (const QString &f : old)
            writeFile(local(f), "old");
        writeFile(local("keep_VX_DELETE.txt"), "not a leftover");
        const Outcome out = runWorker(config());
        QCOMPARE(out.pros, QList<int>({10, 20, 30, 40, 70, 100}));
        QVERIFY(server->fileRequests().isEmpty());
        QVERIFY2(leftovers(install).isEmpty(), qPrintable(leftovers(install).join(' ')));
        QVERIFY(QFile::exists(local("keep_VX_DELETE.txt")));
    }

    void sameFileListedTwice()
    {
        QList<ServedFile> files = servedFiles();
        files << files.at(1);
        publish(published, version, prefix(), files);
        const Outcome out = runWorker(config());
        QCOMPARE(out.pros.last(), 100);
        QCOMPARE(server->fileRequests().count("files/root/bin/a.dll"), 1);
        QCOMPARE(readFile(local("bin/a.dll")), QByteArray("library a v2"));
    }

    // Where the manifest is asked for: the endpoint by language, the client key by edition.
    void endpoints_data()
    {
        QTest::addColumn<bool>("isEn");
        QTest::addColumn<QString>("third");
        QTest::addColumn<bool>("alternate");
        QTest::addColumn<QString>("query");
        QTest::newRow("Chinese standard") << false << "" << false << "version=5.3.0";
        QTest::newRow("English standard") << true << "" << true << "version=5.3.0";
        QTest::newRow("Nimbrosia") << false << "Nimbrosia" << false << "version=5.3.0&client=nim";
        QTest::newRow("Corvanta English") << true << "Corvanta" << true << "version=5.3.0&client=u3d";
        QTest::newRow("corvanta lower case") << false << "corvanta" << false << "version=5.3.0";
    }
    void endpoints()
    {
        QFETCH(bool, isEn);
        QFETCH(QString, third);
        QFETCH(bool, alternate);
        QFETCH(QString, query);
        FakeUpdateServer other(published);
        server->setFault(FakeUpdateServer::Fault::ManifestStatus);
        other.setFault(FakeUpdateServer::Fault::ManifestStatus);
        ServiceConfig c = config();
        c.updateAlternate = other.base();
        runWorker(c, isEn, third);
        const QStringList asked = alternate ? other.requests() : server->requests();
        const QStringList idle = alternate ? server->requests() : other.requests();
        QCOMPARE(asked, QStringList{"/getVersionFile.htm?" + query});
        QVERIFY(idle.isEmpty());
    }

    void manifestCannotSendUsToLocalFiles()
    {
        // What a file URL built from this prefix would read.
        writeFile(work->path() + "/secret/getVersionStream.htm", "local secret");
        const QList<ServedFile> files{{"root/bin", "a.dll", "local secret"}};
        server->setManifest(manifestXml(entriesOf(files), "file://" + work->path() + "/secret/"));
        const Outcome out = runWorker(config());
        QCOMPARE(out.errors, QList<int>{-2});
        QVERIFY(!QFile::exists(local("bin/a.dll")));
    }

    void fileHash_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("short") << QByteArray("abc");
        QTest::newRow("several blocks") << QByteArray(3 * 1024 * 1024 + 17, 'x');
    }
    void fileHash()
    {
        QFETCH(QByteArray, bytes);
        writeFile(local("f.bin"), bytes);
        QCOMPARE(UpdateWork::fileHash(installRoot + "\\f.bin"), sha1Hex(bytes));
        QVERIFY(UpdateWork::fileHash(local("missing")).isEmpty());
        QStringList paths{local("f.bin"), local("missing"), local("f.bin")};
        QCOMPARE(FileSync::fileHashes(paths), QStringList({sha1Hex(bytes), QString(), sha1Hex(bytes)}));
    }

    void swapInReplacesWithoutGap()
    {
        writeFile(local("t"), "new");
        writeFile(local("target"), "old");
        QVERIFY(FileSync::swapIn(installRoot + "\\t", installRoot + "\\target"));
        QCOMPARE(readFile(local("target")), QByteArray("new"));
        QVERIFY(!QFile::exists(local("t")));
        // A folder in the way is not moved for a file.
        QDir().mkpath(local("folder/inner"));
        writeFile(local("t"), "new");
        QVERIFY(!FileSync::swapIn(local("t"), local("folder")));
        QVERIFY(QFileInfo(local("folder/inner")).isDir());
    }
};

QTEST_GUILESS_MAIN(TestUpdateWork)
#include "tst_updatework.moc"
