#include "fakehttp.h"
#include "installerfolder.h"
#include "testroot.h"

#include <QtTest>

using namespace TestSupport;

namespace {

const QString kUninstallGroup = QStringLiteral("Software/Microsoft/Windows/CurrentVersion/Uninstall/");
const QString kRunGroup = QStringLiteral("Software/Microsoft/Windows/CurrentVersion/Run/");

struct Expect
{
    QString product;     // product folder name
    QString registry;    // registry name
    QString exe;
    QString shortcutFolder;
    QString startLink;
    QString uninstallLink;
    QString desktopLink;
    QString publisher;   // empty: not written
    bool urlInfo;
    QString language;
    QString displayName;
};

} // namespace

Q_DECLARE_METATYPE(Edition)
Q_DECLARE_METATYPE(Expect)

// The real installer, unattended, on packed installer folders and fresh machine roots.
class TestInstallEndToEnd : public QObject
{
    Q_OBJECT
private:
    struct Machine
    {
        MachineRoot root;
        FakeHttp service;
        QTemporaryDir installer;
        QTemporaryDir logDir;
        QString standinLog() const { return logDir.path() + QStringLiteral("/starts.log"); }
        QProcessEnvironment env() const
        {
            QProcessEnvironment e = root.environment();
            e.insert(QStringLiteral("VX_STANDIN_LOG"), standinLog());
            return e;
        }
        QString programs() const
        {
            return root.path() + QStringLiteral("/Users/") + user() + QStringLiteral(
                       "/AppData/Roaming/Microsoft/Windows/Start Menu/Programs");
        }
        QString desktop() const { return root.path() + QStringLiteral("/Users/") + user() + QStringLiteral("/Desktop"); }
        QString appData() const { return root.path() + QStringLiteral("/Users/") + user() + QStringLiteral("/AppData/Roaming"); }
        static QString user()
        {
            const QString u = QString::fromLocal8Bit(qgetenv("USER"));
            return u.isEmpty() ? QStringLiteral("user") : u;
        }
    };

    RunResult install(Machine &m, const QStringList &extra = {}, const QString &workDir = QString())
    {
        return runServing(m.installer.path() + QStringLiteral("/install"), QStringList{"--silent"} + extra, m.env(),
                          workDir.isEmpty() ? m.installer.path() : workDir);
    }

    static QStringList versionFolders(const QString &productDir)
    {
        return QDir(productDir).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    }

    static QString link(const QString &path) { return QFileInfo(path).symLinkTarget(); }

private slots:
    void editions_data()
    {
        QTest::addColumn<Edition>("edition");
        QTest::addColumn<Expect>("expect");
        Edition standard;
        QTest::newRow("standard, Chinese")
            << standard
            << Expect{"VantrixZMT", "VantrixZMT", "VantrixZMT.exe", "Vantrix", "启动渲染客户端.lnk", "卸载渲染客户端.lnk",
                      "渲染客户端.lnk", "Tolvenar", true, "zh_cn", "渲染客户端"};
        Edition partner;
        partner.third = QStringLiteral("Nimbrosia");
        partner.exe = QStringLiteral("VX-Nimbrosia.exe");
        partner.lang = QStringLiteral("en_us");
        partner.nameEN = QStringLiteral("Nimbrosia Render");
        QTest::newRow("partner, English, renamed")
            << partner
            << Expect{"VantrixZMT", "VantrixZMT", "VX-Nimbrosia.exe", "Nimbrosia Render", "start Nimbrosia Render.lnk",
                      "uninstall Nimbrosia Render.lnk", "Nimbrosia Render.lnk", "", false, "en_us", "Nimbrosia Render"};
        Edition corvanta;
        corvanta.third = QStringLiteral("Corvanta");
        corvanta.name = QStringLiteral("联合渲染");
        QTest::newRow("Corvanta")
            << corvanta
            << Expect{"Vantrix for Unity", "VantrixCV", "VantrixZMT.exe", "Vantrix", "启动联合渲染.lnk", "卸载联合渲染.lnk",
                      "联合渲染.lnk", "Tolvenar", false, "zh_cn", "联合渲染"};
    }

    void editions()
    {
        QFETCH(Edition, edition);
        QFETCH(Expect, expect);
        Machine m;
        makeInstallerFolder(m.installer.path(), edition, m.service.base());

        const RunResult r = install(m);
        QVERIFY2(r.finished && r.exitCode == 0, r.err.constData());

        const QString chosen = m.root.path() + QStringLiteral("/Program Files/") +
                               (edition.third.isEmpty() || edition.third == QLatin1String("Corvanta") ? QStringLiteral("Vantrix") : edition.third);
        const QString product = chosen + QLatin1Char('/') + expect.product;
        const QStringList versions = versionFolders(product);
        QCOMPARE(versions.size(), 1);
        QVERIFY(QRegularExpression(QStringLiteral("^3\\.0\\.1\\.\\d{5}$")).match(versions.first()).hasMatch());
        const QString dir = product + QLatin1Char('/') + versions.first();
        const QString composedDir = Platform_composed(chosen, expect.product, versions.first());

        // Payload, runtime files, icon; the client under the edition's name only.
        for (const QString &f : {QStringLiteral("uninstall.exe"), QStringLiteral("update.exe"), QStringLiteral("service.ini"),
                                 QStringLiteral("libs/render.dll"), QStringLiteral("data/readme.txt"), QStringLiteral("Qt5Core.dll"),
                                 QStringLiteral("msvcr100.dll"), QStringLiteral("VX.ico"), expect.exe})
            QVERIFY2(QFileInfo::exists(dir + QLatin1Char('/') + f), qPrintable(f));
        QCOMPARE(QFileInfo::exists(dir + QStringLiteral("/VantrixZMT.exe")), expect.exe == QLatin1String("VantrixZMT.exe"));
        QVERIFY(QFileInfo(dir + QLatin1Char('/') + expect.exe).isExecutable());

        auto hklm = hive(m.root.path(), QStringLiteral("HKEY_LOCAL_MACHINE"));
        hklm->beginGroup(kUninstallGroup + expect.registry);
        QStringList keys{"DisplayName", "UninstallString", "installDir", "DisplayVersion", "DisplayIcon"};
        if (expect.urlInfo)
            keys << QStringLiteral("URLInfoAbout");
        if (!expect.publisher.isEmpty())
            keys << QStringLiteral("Publisher");
        QStringList have = hklm->childKeys();
        have.sort();
        keys.sort();
        QCOMPARE(have, keys);
        QCOMPARE(hklm->value("DisplayName").toString(), expect.displayName);
        QCOMPARE(hklm->value("installDir").toString(), composedDir);
        QCOMPARE(hklm->value("UninstallString").toString(), composedDir + QStringLiteral("\\uninstall.exe"));
        QCOMPARE(hklm->value("DisplayIcon").toString(), composedDir + QLatin1Char('\\') + expect.exe);
        QCOMPARE(hklm->value("DisplayVersion").toString(), QStringLiteral("3.0.1"));
        QCOMPARE(hklm->value("Publisher").toString(), expect.publisher);
        if (expect.urlInfo)
            QCOMPARE(hklm->value("URLInfoAbout").toString(), QStringLiteral("http://127.0.0.1/vantrix"));
        hklm->endGroup();
        QCOMPARE(hklm->value(kRunGroup + expect.exe).toString(),
                 composedDir + QLatin1Char('\\') + expect.exe + QStringLiteral(" RegAutoRun"));

        auto hkcu = hive(m.root.path(), QStringLiteral("HKEY_CURRENT_USER"));
        hkcu->beginGroup(QStringLiteral("Software/Norvale/") + expect.registry + QStringLiteral("/Settings"));
        QCOMPARE(hkcu->value("ThirdPart").toString(), edition.third);
        QCOMPARE(hkcu->value("Language").toString(), expect.language);
        QCOMPARE(hkcu->value("InstallDir").toString(), composedDir);
        QCOMPARE(hkcu->value("info").toString(),
                 QStringLiteral("{\"exe\":\"%1\",\"lang\":\"%2\",\"mark\":\"%3\",\"name\":\"%4\",\"nameEN\":\"%5\",\"third\":\"%6\"}")
                     .arg(expect.exe, edition.lang, edition.mark, expect.displayName, edition.nameEN, edition.third));
        hkcu->endGroup();

        const QString folder = m.programs() + QLatin1Char('/') + expect.shortcutFolder;
        QCOMPARE(link(folder + QLatin1Char('/') + expect.startLink), dir + QLatin1Char('/') + expect.exe);
        QCOMPARE(link(folder + QLatin1Char('/') + expect.uninstallLink), dir + QStringLiteral("/uninstall.exe"));
        QCOMPARE(link(m.desktop() + QLatin1Char('/') + expect.desktopLink), dir + QLatin1Char('/') + expect.exe);

        QCOMPARE(readFile(m.appData() + QLatin1Char('/') + expect.registry + QStringLiteral("/AllUser/SPCache")),
                 QByteArray("cache of the first installer"));

        QCOMPARE(m.service.requests.size(), 1);
        const HttpRequest report = m.service.requests.first();
        QCOMPARE(report.method, QByteArray("POST"));
        QVERIFY2(QRegularExpression(QStringLiteral("^/clientChannel/clientChannelInfo\\?mark=vx&macAddr=[^&]*&cpu=(%5B|\\[)\\d+(%5D|\\])"))
                     .match(QString::fromUtf8(report.target)).hasMatch(),
                 report.target.constData());
        QVERIFY(report.body.isEmpty());
        QVERIFY(!QFileInfo::exists(m.standinLog()));   // unattended starts nothing
    }

private:
    // The installation directory as the installer composes it for the registry.
    static QString Platform_composed(const QString &chosen, const QString &product, const QString &version)
    {
        return chosen.left(chosen.lastIndexOf(QLatin1Char('/'))) + QLatin1Char('\\')
               + chosen.mid(chosen.lastIndexOf(QLatin1Char('/')) + 1) + QLatin1Char('\\') + product + QLatin1Char('\\') + version;
    }

private slots:
    void reinstallGoesToTheRecordedFolderAndKeepsData()
    {
        Machine m;
        makeInstallerFolder(m.installer.path(), Edition(), m.service.base());
        const QString custom = m.root.path() + QStringLiteral("/Apps/Custom");
        QVERIFY(install(m, {QStringLiteral("--dir"), custom, QStringLiteral("--no-start-menu"), QStringLiteral("--no-autorun")}).exitCode == 0);
        QCOMPARE(versionFolders(custom + QStringLiteral("/VantrixZMT")).size(), 1);
        QVERIFY(!QFileInfo::exists(m.programs() + QStringLiteral("/Vantrix")));
        QVERIFY(QFileInfo(m.desktop() + QStringLiteral("/渲染客户端.lnk")).isSymLink());
        QVERIFY(!hive(m.root.path(), QStringLiteral("HKEY_LOCAL_MACHINE"))->contains(kRunGroup + QStringLiteral("VantrixZMT.exe")));

        writeFile(m.installer.path() + QStringLiteral("/SPCache"), "cache of the second installer");
        QTest::qWait(20);   // a distinct version folder name
        // Started from elsewhere: the version file is found beside the installer.
        const RunResult again = install(m, {}, m.root.path());
        QVERIFY2(again.exitCode == 0, again.err.constData());
        QCOMPARE(versionFolders(custom + QStringLiteral("/VantrixZMT")).size(), 2);
        QVERIFY(!QFileInfo::exists(m.root.path() + QStringLiteral("/Program Files/Vantrix")));
        QCOMPARE(readFile(m.appData() + QStringLiteral("/VantrixZMT/AllUser/SPCache")), QByteArray("cache of the first installer"));
    }

    void relativeFolderIsRecordedAbsolute()
    {
        Machine m;
        makeInstallerFolder(m.installer.path(), Edition(), m.service.base());
        const RunResult r = install(m, {QStringLiteral("--dir"), QStringLiteral("rel/Apps")}, m.root.path());
        QVERIFY2(r.exitCode == 0, r.err.constData());
        const QString recorded =
            hive(m.root.path(), QStringLiteral("HKEY_LOCAL_MACHINE"))->value(kUninstallGroup + QStringLiteral("VantrixZMT/installDir")).toString();
        QVERIFY2(QString(recorded).replace(QLatin1Char('\\'), QLatin1Char('/')).startsWith(m.root.path() + QStringLiteral("/rel/Apps/VantrixZMT/")),
                 qPrintable(recorded));
        QCOMPARE(versionFolders(m.root.path() + QStringLiteral("/rel/Apps/VantrixZMT")).size(), 1);
    }

    void failedExtractionRegistersNothing_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::newRow("corrupt archive") << "corrupt";
        QTest::newRow("missing archive") << "missing";
        QTest::newRow("hostile entry") << "hostile";
        QTest::newRow("empty name renames onto the folder") << "noexe";
    }
    void failedExtractionRegistersNothing()
    {
        QFETCH(QString, damage);
        Machine m;
        Edition e;
        if (damage == QLatin1String("noexe"))
            e.exe.clear();
        makeInstallerFolder(m.installer.path(), e, m.service.base());
        const QString zip = m.installer.path() + QStringLiteral("/files.zip");
        if (damage == QLatin1String("corrupt"))
            writeFile(zip, readFile(zip).left(300));
        else if (damage == QLatin1String("missing"))
            QFile::remove(zip);
        else if (damage == QLatin1String("hostile")) {
            QuaZip archive(zip);
            QVERIFY(archive.open(QuaZip::mdAdd));
            QuaZipFile entry(&archive);
            QVERIFY(entry.open(QIODevice::WriteOnly, QuaZipNewInfo(QStringLiteral("../../evil.txt"))));
            entry.write("evil");
            entry.close();
            archive.close();
        }

        const RunResult r = install(m);
        QCOMPARE(r.exitCode, 2);
        QVERIFY(!r.err.isEmpty());
        QVERIFY(!QFileInfo::exists(m.root.path() + QStringLiteral("/Program Files/Vantrix/VantrixZMT")));
        QVERIFY(!QFileInfo::exists(m.root.path() + QStringLiteral("/Program Files/evil.txt")));
        QVERIFY(!QFileInfo::exists(m.root.path() + QStringLiteral("/Program Files/Vantrix/evil.txt")));
        QVERIFY(!hive(m.root.path(), QStringLiteral("HKEY_LOCAL_MACHINE"))->contains(kUninstallGroup + QStringLiteral("VantrixZMT/installDir")));
        QVERIFY(!hive(m.root.path(), QStringLiteral("HKEY_CURRENT_USER"))->contains(QStringLiteral("Software/Norvale/VantrixZMT/Settings/info")));
        QVERIFY(QDir(m.desktop()).isEmpty());
        QVERIFY(!QFileInfo::exists(m.programs() + QStringLiteral("/Vantrix")));
    }

    void failedReinstallLeavesThePreviousOne()
    {
        Machine m;
        makeInstallerFolder(m.installer.path(), Edition(), m.service.base());
        QCOMPARE(install(m).exitCode, 0);
        const QByteArray hklmBefore = readFile(m.root.path() + QStringLiteral("/registry/HKEY_LOCAL_MACHINE.ini"));
        const QString product = m.root.path() + QStringLiteral("/Program Files/Vantrix/VantrixZMT");
        const QStringList before = versionFolders(product);

        QFile::remove(m.installer.path() + QStringLiteral("/files.zip"));
        QCOMPARE(install(m).exitCode, 2);
        QCOMPARE(versionFolders(product), before);
        QVERIFY(QFileInfo::exists(product + QLatin1Char('/') + before.first() + QStringLiteral("/VantrixZMT.exe")));
        QCOMPARE(readFile(m.root.path() + QStringLiteral("/registry/HKEY_LOCAL_MACHINE.ini")), hklmBefore);
    }
};

QTEST_GUILESS_MAIN(TestInstallEndToEnd)
#include "tst_installe2e.moc"
