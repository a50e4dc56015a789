#include "fakeupdateserver.h"
#include "installation.h"
#include "platform/paths.h"
#include "published.h"
#include "updateglobals.h"
#include "updatework.h"
#include "widget.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTextEdit>
#include <QtTest>

using namespace TestSupport;

// The updater window in this process: texts, states, retry, registration and the final start.
class TestUpdateWidget : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<MachineRoot> root;
    std::unique_ptr<QTemporaryDir> serverDir;
    std::unique_ptr<FakeUpdateServer> server;
    Installation inst;
    const QString version = QStringLiteral("5.3.0");

    template<typename T>
    static T *child(Widget &w, const char *name)
    {
        T *found = w.findChild<T *>(QLatin1String(name));
        if (!found)
            qFatal("no %s", name);
        return found;
    }

    // A client that records its start in a file beside itself.
    static QByteArray standInClient(const QByteArray &tag)
    {
        return "#!/bin/sh\n# " + tag + "\necho \"started $0\" > \"$(dirname \"$0\")/started.txt\"\n";
    }

    void setUp(const Edition &edition, const QList<ServedFile> &served)
    {
        inst = makeInstallation(root->path(), edition);
        InstallContext::overrideProgramDir(inst.dir);
        inst.writeServiceIni(server->base(), server->base(), 2);
        publish(serverDir->path(), version, server->base() + QStringLiteral("/"), served,
                QStringLiteral("<p>release <b>note</b></p>"));
        requestedVersion = version;
        InstallContext context;
        context.initLanguage();
    }

    void writeInstalledClient(const QString &name)
    {
        const QString path = inst.dir + QLatin1Char('/') + name;
        writeFile(path, standInClient("old"));
        QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner);
    }

    static QList<ServedFile> served(const QString &clientName = QStringLiteral("VX-X.exe"))
    {
        QList<ServedFile> files{{QStringLiteral("root/bin"), QStringLiteral("a.dll"), QByteArray("library v2")}};
        if (!clientName.isEmpty())
            files << ServedFile{QStringLiteral("root/"), clientName, standInClient("new")};
        return files;
    }

    static bool finished(Widget &w) { return child<QPushButton>(w, "update")->isEnabled(); }

private slots:
    void init()
    {
        root = std::make_unique<MachineRoot>();
        serverDir = std::make_unique<QTemporaryDir>();
        server = std::make_unique<FakeUpdateServer>(serverDir->path());
        InstallContext::isZh = true;
    }
    void cleanup()
    {
        QVERIFY(Widget::waitForWorkers(30000));
        InstallContext::overrideProgramDir(QString());
        server.reset();
        serverDir.reset();
        root.reset();
    }

    void initialForm()
    {
        setUp(Edition(), served());
        server->setFault(FakeUpdateServer::Fault::ManifestStall);
        Widget w;
        QCOMPARE(w.size(), QSize(586, 386));
        QCOMPARE(w.windowTitle(), QString("Widget"));
        QCOMPARE(child<QLabel>(w, "title")->text(), QString("渲染客户端"));
        QCOMPARE(child<QLabel>(w, "ut")->text(), QString("更新内容"));
        QCOMPARE(child<QWidget>(w, "widget")->minimumSize(), QSize(580, 380));
        QCOMPARE(child<QLabel>(w, "label")->styleSheet(), QString("border-image: url(:/logo.png)"));
        QCOMPARE(child<QPushButton>(w, "update")->geometry(), QRect(135, 310, 310, 40));
        QCOMPARE(child<QProgressBar>(w, "progressBar")->geometry(), QRect(135, 270, 310, 10));
        QVERIFY(!child<QProgressBar>(w, "progressBar")->isTextVisible());
        QVERIFY(child<QTextEdit>(w, "textEdit")->isReadOnly());
        // Running from the start.
        QCOMPARE(child<QPushButton>(w, "update")->text(), QString("更新中"));
        QVERIFY(!child<QPushButton>(w, "update")->isEnabled());
        QVERIFY(child<QPushButton>(w, "minBtn")->isHidden());
        QVERIFY(child<QPushButton>(w, "closeBtn")->isHidden());
        QVERIFY(w.workerThread());
        QCOMPARE(installRoot, QString(inst.dir).replace('/', '\\'));
        QCOMPARE(downloadRoot, installRoot);
    }

    void partnerLogoFromInstallation()
    {
        Edition e;
        e.third = "Nimbrosia";
        e.exe = "VX-Nimbrosia.exe";
        setUp(e, served());
        server->setFault(FakeUpdateServer::Fault::ManifestStall);
        QImage icon(32, 32, QImage::Format_ARGB32);
        icon.fill(Qt::red);
        QVERIFY(icon.save(inst.dir + "/VX.ico", "ICO"));
        Widget w;
        const QLabel *logo = child<QLabel>(w, "label");
        QVERIFY(logo->styleSheet().isEmpty());
        QCOMPARE(logo->pixmap(Qt::ReturnByValue).size(), QSize(16, 16));
    }

    void manifestFailure_data()
    {
        QTest::addColumn<QString>("lang");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("title");
        QTest::newRow("Chinese") << "zh_cn" << "获取更新文件列表失败！请重试！" << "更新" << "渲染客户端";
        QTest::newRow("English") << "en_us" << "File list error!Please retry!" << "Update" << "Render Client";
    }
    void manifestFailure()
    {
        QFETCH(QString, lang);
        QFETCH(QString, message);
        QFETCH(QString, button);
        QFETCH(QString, title);
        Edition e;
        e.lang = lang;
        setUp(e, served());
        server->setFault(FakeUpdateServer::Fault::ManifestStatus);
        Widget w;
        QSignalSpy failed(&w, &Widget::updateFailed);
        QTRY_COMPARE(child<QLabel>(w, "err")->text(), message);
        QCOMPARE(child<QLabel>(w, "title")->text(), title);
        QCOMPARE(child<QPushButton>(w, "update")->text(), button);
        QVERIFY(child<QPushButton>(w, "update")->isEnabled());
        QVERIFY(!child<QPushButton>(w, "closeBtn")->isHidden());
        QVERIFY(child<QPushButton>(w, "minBtn")->isHidden());
        QVERIFY(!w.workerThread());
        QVERIFY(!w.currentWorker());
        QCOMPARE(failed.size(), 1);
        QCOMPARE(failed.first().at(0).toInt(), -1);
    }

    void errorTexts_data()
    {
        QTest::addColumn<bool>("zh");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("shown");
        QTest::newRow("download zh") << true << -2 << "下载文件失败！请重试！";
        QTest::newRow("rename zh") << true << -3 << "重命名文件失败！请重试！";
        QTest::newRow("download en") << false << -2 << "File download error!Please retry!";
        QTest::newRow("rename en") << false << -3 << "Rename file error!Please retry!";
        QTest::newRow("unknown zh") << true << -7 << "请重试！";
        QTest::newRow("unknown en") << false << 0 << "Please retry!";
    }
    void errorTexts()
    {
        QFETCH(bool, zh);
        QFETCH(int, code);
        QFETCH(QString, shown);
        Edition e;
        e.lang = zh ? "zh_cn" : "en_us";
        setUp(e, served());
        server->setFault(FakeUpdateServer::Fault::ManifestStall);
        Widget w;
        w.error(code); // also while an attempt runs: it is let go
        QCOMPARE(child<QLabel>(w, "err")->text(), shown);
        QVERIFY(!w.workerThread());
    }

    void retryRunsAgainAndFinishStartsClient()
    {
        setUp(Edition(), served());
        writeInstalledClient("VantrixZMT.exe");
        server->setFault(FakeUpdateServer::Fault::FileStatus);
        Widget w;
        w.show();
        QTRY_COMPARE(child<QLabel>(w, "err")->text(), QString("下载文件失败！请重试！"));
        QCOMPARE(child<QTextEdit>(w, "textEdit")->toPlainText(), QString("release note"));
        QCOMPARE(server->requests().filter(QRegularExpression("^/getVersionFile")).size(), 1);

        server->setFault(FakeUpdateServer::Fault::None);
        QSignalSpy done(&w, &Widget::updateFinished);
        QTest::mouseClick(child<QPushButton>(w, "update"), Qt::LeftButton);
        QVERIFY(w.workerThread());
        QVERIFY(w.currentWorker());
        QCOMPARE(w.currentWorker()->thread(), w.workerThread());
        QVERIFY(child<QLabel>(w, "err")->text().isEmpty());
        QTRY_COMPARE(done.size(), 1);
        QCOMPARE(server->requests().filter(QRegularExpression("^/getVersionFile")).size(), 2);
        QCOMPARE(child<QProgressBar>(w, "progressBar")->value(), 100);
        QCOMPARE(child<QPushButton>(w, "update")->text(), QString("完成"));
        QVERIFY(child<QPushButton>(w, "update")->isEnabled());
        QVERIFY(!child<QPushButton>(w, "closeBtn")->isHidden());
        QVERIFY(w.workerThread()); // kept after success
        QCOMPARE(readFile(inst.dir + "/VantrixZMT.exe"), standInClient("new"));

        QVERIFY(!QFile::exists(inst.dir + "/started.txt"));
        QTest::mouseClick(child<QPushButton>(w, "update"), Qt::LeftButton);
        // The client starts in its own time; a loaded machine took longer than five seconds.
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(inst.dir + "/started.txt"), 20000);
        QVERIFY(readFile(inst.dir + "/started.txt").contains("VantrixZMT.exe"));
        QVERIFY(!w.isVisible());
    }

    // What the registration writes and where the shortcuts go, per edition and language.
    void registration_data()
    {
        QTest::addColumn<QString>("third");
        QTest::addColumn<QString>("exe");
        QTest::addColumn<QString>("lang");
        QTest::addColumn<QString>("clientListed");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("startLink");
        QTest::addColumn<QString>("uninstallLink");
        QTest::addColumn<QString>("desktopLink");
        QTest::newRow("standard Chinese") << "" << "VantrixZMT.exe" << "zh_cn" << "VX-X.exe" << "Vantrix"
                                          << "启动渲染客户端.lnk" << "卸载渲染客户端.lnk" << "渲染客户端.lnk";
        QTest::newRow("standard English") << "" << "VantrixZMT.exe" << "en_us" << "VX-X.exe" << "Vantrix"
                                          << "start Render Client.lnk" << "uninstall Render Client.lnk"
                                          << "Render Client.lnk";
        QTest::newRow("Corvanta") << "Corvanta" << "VantrixZMT.exe" << "zh_cn" << "VX-Corvanta.exe" << "Vantrix"
                                  << "启动渲染客户端.lnk" << "卸载渲染客户端.lnk" << "渲染客户端.lnk";
        // The installation holds the edition's executable; the fresh client replaces it.
        QTest::newRow("partner renames") << "Nimbrosia" << "VX-Nimbrosia.exe" << "zh_cn" << "VX-Nimbrosia.exe"
                                         << "渲染客户端" << "启动渲染客户端.lnk" << "卸载渲染客户端.lnk"
                                         << "渲染客户端.lnk";
        // No fresh client in this version: the installed one is kept.
        QTest::newRow("partner, client unchanged") << "Nimbrosia" << "VX-Nimbrosia.exe" << "zh_cn" << ""
                                                   << "渲染客户端" << "启动渲染客户端.lnk" << "卸载渲染客户端.lnk"
                                                   << "渲染客户端.lnk";
    }
    void registration()
    {
        QFETCH(QString, third);
        QFETCH(QString, exe);
        QFETCH(QString, lang);
        QFETCH(QString, clientListed);
        QFETCH(QString, folder);
        QFETCH(QString, startLink);
        QFETCH(QString, uninstallLink);
        QFETCH(QString, desktopLink);
        Edition e;
        e.third = third;
        e.exe = exe;
        e.lang = lang;
        setUp(e, served(clientListed));
        writeInstalledClient(exe);
        const QString programs = Platform::programsDir();
        const QString desktop = Platform::desktopDir();
        QVERIFY(programs.startsWith(root->path()));
        const QString name = lang == "en_us" ? e.nameEN : e.name;
        // Shortcuts of an older layout: the folder named after the client, emptied and removed.
        QDir().mkpath(programs + "/" + name);
        QFile::link(inst.dir + "/" + exe, programs + "/" + name + "/" + startLink);
        QFile::link(inst.dir + "/uninstall.exe", programs + "/" + name + "/" + uninstallLink);

        Widget w;
        QSignalSpy done(&w, &Widget::updateFinished);
        QTRY_COMPARE(done.size(), 1);
        QCOMPARE(child<QPushButton>(w, "update")->text(), lang == "en_us" ? QString("Finish") : QString("完成"));

        const QString dir = QString(inst.dir).replace('/', '\\');
        QCOMPARE(inst.uninstallValue("DisplayVersion").toString(), version);
        QCOMPARE(inst.uninstallValue("installDir").toString(), dir);
        QCOMPARE(inst.uninstallValue("UninstallString").toString(), dir + "\\uninstall.exe");
        QCOMPARE(inst.uninstallValue("DisplayIcon").toString(), dir + "\\" + exe);
        QCOMPARE(inst.uninstallValue("DisplayName").toString(), name); // untouched
        QCOMPARE(inst.settingsValue("InstallDir").toString(), dir);

        QCOMPARE(QFileInfo(programs + "/" + folder + "/" + startLink).symLinkTarget(), inst.dir + "/" + exe);
        QCOMPARE(QFileInfo(programs + "/" + folder + "/" + uninstallLink).symLinkTarget(),
                 inst.dir + "/uninstall.exe");
        QCOMPARE(QFileInfo(desktop + "/" + desktopLink).symLinkTarget(), inst.dir + "/" + exe);
        if (folder != name)
            QVERIFY(!QFileInfo::exists(programs + "/" + name));

        const QByteArray client = readFile(inst.dir + "/" + exe);
        QCOMPARE(client, standInClient(clientListed.isEmpty() ? "old" : "new"));
        if (exe != "VantrixZMT.exe")
            QVERIFY(!QFile::exists(inst.dir + "/VantrixZMT.exe"));
    }

    void renameFailureOffersRetry()
    {
        Edition e;
        e.third = "Nimbrosia";
        e.exe = "VX-Nimbrosia.exe";
        setUp(e, served(QString())); // no client served, none installed
        Widget w;
        QTRY_COMPARE(child<QLabel>(w, "err")->text(), QString("重命名文件失败！请重试！"));
        QCOMPARE(inst.uninstallValue("DisplayVersion").toString(), QString("3.0.1"));
        QCOMPARE(child<QPushButton>(w, "update")->text(), QString("更新"));
    }

    void leftoverFolderWithOtherEntriesStays()
    {
        setUp(Edition(), served());
        writeInstalledClient("VantrixZMT.exe");
        Widget probe; // only for the folder
        QSignalSpy first(&probe, &Widget::updateFinished);
        QTRY_COMPARE(first.size(), 1);
        const QString old = probe.programsPath() + "/渲染客户端";
        QDir().mkpath(old);
        writeFile(old + "/notes.txt", "user's own");
        Widget w;
        QSignalSpy done(&w, &Widget::updateFinished);
        QTRY_COMPARE(done.size(), 1);
        QVERIFY(QFile::exists(old + "/notes.txt"));
    }

    void closingWhileRunningDoesNotBlock()
    {
        setUp(Edition(), served());
        server->setFault(FakeUpdateServer::Fault::ManifestStall);
        auto *w = new Widget;
        QThread *thread = w->workerThread();
        QTRY_COMPARE(server->requests().size(), 1);
        QPointer<QThread> watched(thread);
        delete w; // returns at once; the thread ends on its own
        QVERIFY(Widget::waitForWorkers(30000));
        QVERIFY(watched.isNull());
    }
};

QTEST_MAIN(TestUpdateWidget)
#include "tst_updatewidget.moc"
