#include "core/installcontext.h"
#include "core/xfunc.h"
#include "testroot.h"

#include <QJsonArray>
#include <QtTest>

using namespace TestSupport;

class TestContext : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        root = std::make_unique<MachineRoot>();
        program = std::make_unique<QTemporaryDir>();
        InstallContext::third.clear();
        InstallContext::exe.clear();
    }
    void cleanup()
    {
        InstallContext::overrideProgramDir(QString());
        program.reset();
        root.reset();
    }

    void editionFileWithChineseName()
    {
        Edition e;
        e.third = QStringLiteral("Nimbrosia");
        e.exe = QStringLiteral("VX-Nimbrosia.exe");
        e.name = QStringLiteral("云渲染，专业版");   // a comma survives when quoted
        writeEditionFile(program->path(), e);
        writeFile(program->path() + QStringLiteral("/service.ini"),
                  "[server]\nbs=http://127.0.0.1:1234\n");
        InstallContext::overrideProgramDir(program->path());

        InstallContext ctx;
        QCOMPARE(ctx.name, e.name);
        QCOMPARE(ctx.nameEN, e.nameEN);
        QCOMPARE(ctx.mark, e.mark);
        QCOMPARE(ctx.lang, e.lang);
        QCOMPARE(InstallContext::exe, e.exe);
        QCOMPARE(InstallContext::third, e.third);
        QCOMPARE(InstallContext::iniThird(), e.third);
        QVERIFY(ctx.installDir.isEmpty());
        QCOMPARE(ctx.bs, QStringLiteral("http://127.0.0.1:1234"));
        QCOMPARE(ctx.settings()->group(), QStringLiteral("Software/Norvale/VantrixZMT/Settings"));
    }

    void unquotedCommaReadsEmpty()
    {
        writeFile(program->path() + QStringLiteral("/VX.ini"), "[info]\nname=a,b\nmark=m\n");
        InstallContext::overrideProgramDir(program->path());
        InstallContext ctx;
        QVERIFY(ctx.name.isEmpty());
        QCOMPARE(ctx.mark, QStringLiteral("m"));
        QVERIFY(ctx.bs.isEmpty());   // no service.ini
    }

    void registryBranch_data()
    {
        QTest::addColumn<QString>("subdir");
        QTest::addColumn<QString>("group");
        QTest::newRow("standard folder") << "Vantrix/VantrixZMT/3.0.1.07415" << "VantrixZMT";
        QTest::newRow("Corvanta folder") << "Vantrix/Vantrix for Unity/3.0.1.07415" << "VantrixCV";
        QTest::newRow("other letter case") << "Vantrix/vantrixzmt/3.0.1.07415" << "VantrixCV";
    }
    void registryBranch()
    {
        QFETCH(QString, subdir);
        QFETCH(QString, group);
        const QString dir = program->path() + QLatin1Char('/') + subdir;
        QDir().mkpath(dir);
        auto hklm = hive(root->path(), QStringLiteral("HKEY_LOCAL_MACHINE"));
        hklm->setValue(QStringLiteral("Software/Microsoft/Windows/CurrentVersion/Uninstall/") + group
                           + QStringLiteral("/installDir"),
                       QString(QStringLiteral("C:\\x\\") + group));
        hklm->sync();
        auto hkcu = hive(root->path(), QStringLiteral("HKEY_CURRENT_USER"));
        hkcu->setValue(QStringLiteral("Software/Norvale/") + group + QStringLiteral("/Settings/info"),
                       QStringLiteral("{\"exe\":\"VX-A.exe\",\"lang\":\"en_us\",\"mark\":7,"
                                      "\"name\":\"名\",\"nameEN\":\"N\",\"third\":\"A\"}"));
        hkcu->sync();
        InstallContext::overrideProgramDir(dir);

        InstallContext ctx;
        QCOMPARE(ctx.installDir, QStringLiteral("C:\\x\\") + group);
        QCOMPARE(InstallContext::third, QStringLiteral("A"));
        QCOMPARE(InstallContext::exe, QStringLiteral("VX-A.exe"));
        QCOMPARE(ctx.name, QStringLiteral("名"));
        QCOMPARE(ctx.nameEN, QStringLiteral("N"));
        QVERIFY(ctx.mark.isEmpty());   // a number is no text
        QVERIFY(!ctx.initLanguage());
        QVERIFY(!InstallContext::isZh);
    }

    void languageRule_data()
    {
        QTest::addColumn<QString>("lang");
        QTest::addColumn<bool>("chinese");
        QTest::newRow("en_us") << "en_us" << false;
        QTest::newRow("capitals") << "EN_US" << true;
        QTest::newRow("zh_cn") << "zh_cn" << true;
        QTest::newRow("empty") << "" << true;
        QTest::newRow("other") << "de_de" << true;
    }
    void languageRule()
    {
        QFETCH(QString, lang);
        QFETCH(bool, chinese);
        Edition e;
        e.lang = lang;
        writeEditionFile(program->path(), e);
        InstallContext::overrideProgramDir(program->path());
        InstallContext ctx;
        QCOMPARE(ctx.initLanguage(), chinese);
        QCOMPARE(InstallContext::isZh, chinese);
    }

    void registryName_data()
    {
        QTest::addColumn<QString>("third");
        QTest::addColumn<QString>("name");
        QTest::newRow("standard") << "" << "VantrixZMT";
        QTest::newRow("Corvanta") << "Corvanta" << "VantrixCV";
        QTest::newRow("corvanta lower case") << "corvanta" << "VantrixZMT";
        QTest::newRow("partner") << "Nimbrosia" << "VantrixZMT";
    }
    void registryName()
    {
        QFETCH(QString, third);
        QFETCH(QString, name);
        Edition e;
        e.third = third;
        writeEditionFile(program->path(), e);
        InstallContext::overrideProgramDir(program->path());
        InstallContext ctx;
        QCOMPARE(InstallContext::registryName(), name);
        QCOMPARE(ctx.settings()->group(), QStringLiteral("Software/Norvale/%1/Settings").arg(name));
    }

    void jsonText()
    {
        QJsonObject info;
        info.insert(QStringLiteral("third"), QString());
        info.insert(QStringLiteral("name"), QStringLiteral("渲染"));
        info.insert(QStringLiteral("nameEN"), QStringLiteral("Render"));
        info.insert(QStringLiteral("exe"), QStringLiteral("VantrixZMT.exe"));
        info.insert(QStringLiteral("mark"), QStringLiteral("vx"));
        info.insert(QStringLiteral("lang"), QStringLiteral("zh_cn"));
        const QString text = XFunc::jsonToString(info);
        QCOMPARE(text, QStringLiteral("{\"exe\":\"VantrixZMT.exe\",\"lang\":\"zh_cn\",\"mark\":\"vx\","
                                      "\"name\":\"渲染\",\"nameEN\":\"Render\",\"third\":\"\"}"));
        QCOMPARE(XFunc::stringToJson(text), info);
        QVERIFY(XFunc::stringToJson(QString()).isEmpty());
        QVERIFY(XFunc::stringToJson(QStringLiteral("[1,2]")).isEmpty());
        QVERIFY(XFunc::stringToJson(QStringLiteral("{bad")).isEmpty());
    }

private:
    std::unique_ptr<MachineRoot> root;
    std::unique_ptr<QTemporaryDir> program;
};

QTEST_GUILESS_MAIN(TestContext)
#include "tst_context.moc"
