#include "installerfolder.h"
#include "testroot.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTcpServer>
#include <QtTest>

using namespace TestSupport;

// The maker's tools as makers run them: vx-pack's refusals and result, and an update published with
// vx-publish, served by nginx with its generated configuration, fetched by the real updater.
class TestTools : public QObject
{
    Q_OBJECT
private:
    static QString client(const QString &dir, const QByteArray &render)
    {
        copyExecutable(testBin(QStringLiteral("vx_standin")), dir + QStringLiteral("/VantrixZMT.exe"));
        writeFile(dir + QStringLiteral("/libs/render.dll"), render);
        writeFile(dir + QStringLiteral("/data/scenes.txt"), "scenes");
        return dir;
    }
    static RunResult pack(const QStringList &args)
    {
        return run(bin(QStringLiteral("vx-pack")), args, QProcessEnvironment::systemEnvironment());
    }
    static int freePort()
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        return probe.serverPort();
    }

private slots:
    void packRefuses_data()
    {
        QTest::addColumn<QString>("problem");
        QTest::addColumn<QString>("message");
        QTest::newRow("no client build") << "noclient" << "does not hold VantrixZMT.exe";
        QTest::newRow("bad language") << "lang" << "language must be zh_cn or en_us";
        QTest::newRow("bad client name") << "exe" << "plain file name ending in .exe";
        QTest::newRow("bad edition") << "third" << "usable as a folder name";
        QTest::newRow("bad version") << "version" << "may hold only";
        QTest::newRow("unwritable output") << "unwritable" << "cannot create the output folder";
        QTest::newRow("output not empty") << "notempty" << "exists and is not empty";
    }
    void packRefuses()
    {
        QFETCH(QString, problem);
        QFETCH(QString, message);
        QTemporaryDir work;
        const QString build = client(work.path() + QStringLiteral("/client"), "render");
        QString out = work.path() + QStringLiteral("/installer");
        QStringList args{"--client", build, "--version", "3.0.1"};
        if (problem == QLatin1String("noclient"))
            args[1] = work.path() + QStringLiteral("/missing");
        else if (problem == QLatin1String("lang"))
            args << "--lang" << "fr_fr";
        else if (problem == QLatin1String("exe"))
            args << "--exe" << "..\\evil.exe";
        else if (problem == QLatin1String("third"))
            args << "--third" << "a/b";
        else if (problem == QLatin1String("version"))
            args[3] = QStringLiteral("3.0.1\"; rm");
        else if (problem == QLatin1String("unwritable")) {
            writeFile(work.path() + QStringLiteral("/file"), "a file, not a folder");
            out = work.path() + QStringLiteral("/file/installer");
        } else if (problem == QLatin1String("notempty"))
            writeFile(out + QStringLiteral("/keep.txt"), "mine");
        const RunResult r = pack(args + QStringList{"--out", out});
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.err.contains(message.toUtf8()), r.err.constData());
        const QStringList left = QDir(work.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        QVERIFY2(!left.join(QLatin1Char(' ')).contains(QLatin1String("partial")), qPrintable(left.join(' ')));
        if (problem == QLatin1String("notempty"))
            QCOMPARE(QDir(out).entryList(QDir::Files), QStringList{"keep.txt"});
        else
            QVERIFY(!QFileInfo::exists(out));
    }

    void packMakesAnInstallerFolder()
    {
        QTemporaryDir work;
        const QString build = client(work.path() + QStringLiteral("/client"), "render");
        const QString out = work.path() + QStringLiteral("/installer");
        const RunResult r = pack({"--client", build, "--out", out, "--version", "3.0.1", "--third", "Nimbrosia",
                                  "--name", "云渲染，合作版", "--exe", "VX-Nimbrosia.exe", "--lang", "en_us",
                                  "--moldra", build + "/VantrixZMT.exe"});
        QVERIFY2(r.exitCode == 0, r.err.constData());
        QStringList files = QDir(out).entryList(QDir::Files);
        files.sort();
        QStringList expected{"MOsetup.exe", "Qt5Core.dll", "Qt5Gui.dll", "Qt5Widgets.dll", "SPCache", "VX.ico", "VX.ini",
                             "VantrixZMT.exe", "files.zip", "icudt52.dll", "icuin52.dll", "icuuc52.dll", "install",
                             "msvcp100.dll", "msvcr100.dll", "service.ini", "version"};
        expected.sort();
        QCOMPARE(files, expected);
        QSettings ini(out + QStringLiteral("/VX.ini"), QSettings::IniFormat);
        ini.setIniCodec("GB2312");
        QCOMPARE(ini.value("info/name").toString(), QStringLiteral("云渲染，合作版"));
        QCOMPARE(ini.value("info/exe").toString(), QStringLiteral("VX-Nimbrosia.exe"));
        QCOMPARE(ini.value("info/third").toString(), QStringLiteral("Nimbrosia"));
        QCOMPARE(ini.value("info/lang").toString(), QStringLiteral("en_us"));
        QStringList entries = JlCompress::getFileList(out + QStringLiteral("/files.zip"));
        entries.sort();
        QCOMPARE(entries, (QStringList{"VantrixZMT.exe", "data/scenes.txt", "libs/render.dll", "service.ini",
                                       "uninstall.exe", "update.exe"}));
    }

    // The whole life cycle on installations the real installer made: published update through
    // nginx, then the uninstaller, which must leave nothing of the client behind.
    void lifeCycleThroughNginx_data()
    {
        QTest::addColumn<QString>("third");
        QTest::addColumn<QString>("product");
        QTest::newRow("standard") << "" << "VantrixZMT";
        QTest::newRow("Corvanta") << "Corvanta" << "Vantrix for Unity";
    }
    void lifeCycleThroughNginx()
    {
        QFETCH(QString, third);
        QFETCH(QString, product);
        const QString nginx = QStringLiteral("/usr/sbin/nginx");
        if (!QFileInfo(nginx).isExecutable())
            QSKIP("nginx is not installed");
        MachineRoot root;
        QTemporaryDir work;
        QFile::setPermissions(work.path(), QFile::permissions(work.path()) | QFile::ReadOther | QFile::ExeOther);
        const int port = freePort();
        const QString base = QStringLiteral("http://127.0.0.1:%1").arg(port);
        const QString old = client(work.path() + QStringLiteral("/client-3.0.1"), "render 3.0.1");
        const QString fresh = client(work.path() + QStringLiteral("/client-3.0.2"), "render 3.0.2");
        writeFile(fresh + QStringLiteral("/data/new scene 渲染.txt"), "new in 3.0.2");
        const QString installer = work.path() + QStringLiteral("/installer");
        QCOMPARE(pack({"--client", old, "--out", installer, "--version", "3.0.1", "--service", "http://127.0.0.1:9",
                       "--update", base, "--stall-timeout", "10", "--third", third}).exitCode, 0);
        const QString tree = work.path() + QStringLiteral("/tree");
        QCOMPARE(run(bin(QStringLiteral("vx-publish")), {"--client", fresh, "--version", "3.0.2", "--out", tree,
                                                          "--port", QString::number(port)},
                     QProcessEnvironment::systemEnvironment()).exitCode, 0);

        QCOMPARE(run(installer + QStringLiteral("/install"), {"--silent"}, root.environment(), installer).exitCode, 0);
        const QString productDir = root.path() + QStringLiteral("/Program Files/Vantrix/") + product;
        const QString installDir = productDir + QLatin1Char('/') + QDir(productDir).entryList(QDir::Dirs | QDir::NoDotAndDotDot).first();

        QProcess server;
        server.start(nginx, {"-p", tree, "-c", tree + "/nginx.conf", "-g", "daemon off;"});
        QVERIFY(server.waitForStarted());
        QTcpSocket probe;
        QTRY_VERIFY_WITH_TIMEOUT((probe.connectToHost(QHostAddress::LocalHost, port), probe.waitForConnected(200)), 10000);
        probe.close();

        const RunResult update = run(installDir + QStringLiteral("/update.exe"), {"3.0.2", "--silent"}, root.environment());
        QVERIFY2(update.exitCode == 0, update.err.constData());
        for (const QString &file : {QStringLiteral("libs/render.dll"), QStringLiteral("data/new scene 渲染.txt"),
                                    QStringLiteral("data/scenes.txt")})
            QCOMPARE(readFile(installDir + QLatin1Char('/') + file), readFile(fresh + QLatin1Char('/') + file));

        QNetworkAccessManager net;
        for (const char *query : {"getVersionStream.htm?path=files/../../etc/passwd&version=3.0.2",
                                  "getVersionStream.htm?path=files/client/../../../../../../etc/passwd&version=3.0.2",
                                  "getVersionStream.htm?path=files/%2e%2e/%2e%2e/nginx.conf&version=3.0.2",
                                  "getVersionStream.htm?path=files/client/libs/render.dll&version=..",
                                  "getVersionStream.htm?path=../nginx.conf&version=3.0.2",
                                  "getVersionFile.htm?version=../../../../etc/passwd",
                                  "getVersionFile.htm?version=3.0.2/../../../nginx.conf"}) {
            QNetworkReply *reply = net.get(QNetworkRequest(QUrl::fromEncoded(base.toUtf8() + "/" + query)));
            QSignalSpy done(reply, &QNetworkReply::finished);
            QVERIFY(done.wait(10000));
            QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 404);
            const QByteArray body = reply->readAll();
            QVERIFY2(!body.contains("root:") && !body.contains("worker_processes"), query);
            reply->deleteLater();
        }
        server.terminate();
        server.waitForFinished(5000);

        QTemporaryDir logs;
        QProcessEnvironment env = root.environment();
        env.insert(QStringLiteral("VX_STANDIN_LOG"), logs.path() + QStringLiteral("/starts.log"));
        writeFile(root.path() + QStringLiteral("/Program Files/Vantrix/neighbour.txt"), "not ours");
        const RunResult removal = run(installDir + QStringLiteral("/uninstall.exe"), {"--silent"}, env);
        QVERIFY2(removal.exitCode == 0, removal.err.constData());
        QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(productDir) && !QFileInfo::exists(root.path() + QStringLiteral("/ClearZMT.bat")), 10000);
        QVERIFY(QFileInfo::exists(root.path() + QStringLiteral("/Program Files/Vantrix/neighbour.txt")));
        const QString registry = QString::fromUtf8(readFile(root.path() + QStringLiteral("/registry/HKEY_LOCAL_MACHINE.ini"))
                                                   + readFile(root.path() + QStringLiteral("/registry/HKEY_CURRENT_USER.ini")));
        QVERIFY2(!registry.contains(QLatin1String("Uninstall\\Vantrix")) && !registry.contains(QLatin1String("Run\\"))
                     && !registry.contains(QLatin1String("Norvale\\Vantrix")),
                 qPrintable(registry));
        const QString user = QFileInfo(root.path() + QStringLiteral("/Users")).absoluteFilePath();
        QDirIterator links(user, QDir::System | QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (links.hasNext())
            QVERIFY2(!links.next().endsWith(QLatin1String(".lnk")), qPrintable(links.filePath()));
        QCOMPARE(readFile(logs.path() + QStringLiteral("/starts.log")).contains("unitydel"), third == QLatin1String("Corvanta"));
    }
};

QTEST_GUILESS_MAIN(TestTools)
#include "tst_tools.moc"
