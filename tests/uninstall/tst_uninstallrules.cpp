// The removal and survey rules without the window.
#include "installation.h"
#include "removal.h"
#include "survey.h"

#include <QJsonDocument>
#include <QtTest>

using namespace TestSupport;

class TestUninstallRules : public QObject
{
    Q_OBJECT
private slots:
    // What the record's installation directory may be before anything of it is deleted.
    void productFolderOf_data()
    {
        QTest::addColumn<QString>("installDir");   // "<root>" and "<user>" are replaced
        QTest::addColumn<QString>("record");
        QTest::addColumn<QString>("product");      // empty: refused
        const QString pf = QStringLiteral("<root>/Program Files");
        QTest::newRow("version folder") << pf + "/Vantrix/VantrixZMT/3.0.1.12345" << "VantrixZMT"
                                        << pf + "/Vantrix/VantrixZMT";
        QTest::newRow("backslashes, trailing one") << QString(pf + "/Vantrix/VantrixZMT/3.0.1.12345/").replace('/', '\\')
                                                   << "VantrixZMT" << pf + "/Vantrix/VantrixZMT";
        QTest::newRow("doubled separators") << pf + "/Vantrix//VantrixZMT//3.0.1.12345" << "VantrixZMT"
                                            << pf + "/Vantrix/VantrixZMT";
        QTest::newRow("Corvanta") << pf + "/Vantrix/Vantrix for Unity/3.0.1.12345" << "VantrixCV"
                                  << pf + "/Vantrix/Vantrix for Unity";
        QTest::newRow("chosen folder on another disk") << "<root>/D/Apps/VantrixZMT/3.2.1.04518" << "VantrixZMT"
                                                       << "<root>/D/Apps/VantrixZMT";
        QTest::newRow("empty") << "" << "VantrixZMT" << "";
        QTest::newRow("blank") << "  " << "VantrixZMT" << "";
        QTest::newRow("relative") << "VantrixZMT/3.0.1.12345" << "VantrixZMT" << "";
        QTest::newRow("other edition's product folder") << pf + "/Vantrix/VantrixZMT/3.0.1.12345" << "VantrixCV" << "";
        QTest::newRow("product folder itself") << pf + "/Vantrix/VantrixZMT" << "VantrixZMT" << "";
        QTest::newRow("product name only in a grandparent") << pf + "/VantrixZMT/sub/3.0.1" << "VantrixZMT" << "";
        QTest::newRow("name differs in case") << pf + "/Vantrix/vantrixzmt/3.0.1.12345" << "VantrixZMT" << "";
        QTest::newRow("machine root") << "<root>" << "VantrixZMT" << "";
        QTest::newRow("file system root") << "/" << "VantrixZMT" << "";
        QTest::newRow("Program Files") << pf << "VantrixZMT" << "";
        QTest::newRow("user profile") << "<user>" << "VantrixZMT" << "";
        QTest::newRow("desktop") << "<user>/Desktop" << "VantrixZMT" << "";
        QTest::newRow("outside any product folder") << "<root>/Data/3.0.1.12345" << "VantrixZMT" << "";
        QTest::newRow("dot-dot climbs out") << pf + "/Vantrix/VantrixZMT/3.0.1.12345/../../.." << "VantrixZMT" << "";
        QTest::newRow("dot-dot stays inside") << pf + "/Vantrix/VantrixZMT/old/../3.0.1.12345" << "VantrixZMT"
                                              << pf + "/Vantrix/VantrixZMT";
        QTest::newRow("product folder named after the drive root") << "/VantrixZMT/3.0" << "VantrixZMT"
                                                                   << "/VantrixZMT";
    }
    void productFolderOf()
    {
        QFETCH(QString, installDir);
        QFETCH(QString, record);
        QFETCH(QString, product);
        MachineRoot root;
        const QString user = QFileInfo(Platform::desktopDir()).path();
        auto expand = [&](QString s) {
            return s.replace(QStringLiteral("<root>"), root.path()).replace(QStringLiteral("<user>"), user);
        };
        QString why;
        QCOMPARE(Removal::productFolderOf(expand(installDir), record, &why), expand(product));
        QCOMPARE(why.isEmpty(), !product.isEmpty());
    }

    void productFolderLinkedElsewhereIsRefused()
    {
        MachineRoot root;
        const QString elsewhere = root.path() + QStringLiteral("/Users");
        const QString vendor = Platform::programFilesDir() + QStringLiteral("/Vantrix");
        QDir().mkpath(vendor);
        QVERIFY(QFile::link(elsewhere, vendor + QStringLiteral("/VantrixZMT")));
        QString why;
        QVERIFY(Removal::productFolderOf(vendor + QStringLiteral("/VantrixZMT/3.0"), QStringLiteral("VantrixZMT"), &why)
                    .isEmpty());
        QVERIFY(why.contains(QStringLiteral("link")));
    }

    void recordName_data()
    {
        QTest::addColumn<QString>("appDir");
        QTest::addColumn<bool>("editionFile");
        QTest::addColumn<QString>("third");
        QTest::addColumn<QString>("name");
        QTest::newRow("standard folder") << "/p/VantrixZMT/3.0" << false << "" << "VantrixZMT";
        QTest::newRow("Corvanta folder") << "/p/Vantrix for Unity/3.0" << false << "Corvanta" << "VantrixCV";
        // A damaged "info" loses the edition; the record found stays the one to remove.
        QTest::newRow("Corvanta folder, edition lost") << "/p/Vantrix for Unity/3.0" << false << "" << "VantrixCV";
        QTest::newRow("edition file, Corvanta") << "/any" << true << "Corvanta" << "VantrixCV";
        QTest::newRow("edition file, partner") << "/any" << true << "Nimbrosia" << "VantrixZMT";
    }
    void recordName()
    {
        QFETCH(QString, appDir);
        QFETCH(bool, editionFile);
        QFETCH(QString, third);
        QFETCH(QString, name);
        QCOMPARE(Removal::recordName(appDir, editionFile, third), name);
    }

    void shortcutPaths_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("third");
        QTest::addColumn<bool>("zh");
        QTest::addColumn<QStringList>("paths");
        QTest::newRow("standard, Chinese") << "渲染" << "" << true
                                           << QStringList{"P/Vantrix/启动渲染.lnk", "P/Vantrix/卸载渲染.lnk", "D/渲染.lnk"};
        QTest::newRow("English, one blank after the prefix")
            << "Render Client" << "" << false
            << QStringList{"P/Vantrix/start Render Client.lnk", "P/Vantrix/uninstall Render Client.lnk",
                           "D/Render Client.lnk"};
        QTest::newRow("Corvanta keeps the Vantrix folder") << "U" << "Corvanta" << true
                                                           << QStringList{"P/Vantrix/启动U.lnk", "P/Vantrix/卸载U.lnk", "D/U.lnk"};
        QTest::newRow("partner folder is the display name") << "Nimbus" << "Nimbrosia" << true
                                                            << QStringList{"P/Nimbus/启动Nimbus.lnk", "P/Nimbus/卸载Nimbus.lnk",
                                                                           "D/Nimbus.lnk"};
        QTest::newRow("no display name, no shortcuts") << "" << "" << true << QStringList{};
    }
    void shortcutPaths()
    {
        QFETCH(QString, name);
        QFETCH(QString, third);
        QFETCH(bool, zh);
        QFETCH(QStringList, paths);
        QCOMPARE(Removal::shortcutPaths(QStringLiteral("P"), QStringLiteral("D"), name, third, zh), paths);
    }

    void shortcutNamedLikeAFolderStays()
    {
        MachineRoot root;
        const QString dir = Platform::desktopDir() + QStringLiteral("/Tools.lnk");
        writeFile(dir + QStringLiteral("/mine.txt"), "keep");
        const QString link = Platform::desktopDir() + QStringLiteral("/Client.lnk");
        QVERIFY(QFile::link(dir, link));
        Removal::removeShortcut(dir);
        QVERIFY(QFileInfo::exists(dir + QStringLiteral("/mine.txt")));
        Removal::removeShortcut(link);   // a link to a folder is a shortcut: only the link goes
        QVERIFY(!QFileInfo(link).isSymLink());
        QVERIFY(QFileInfo::exists(dir + QStringLiteral("/mine.txt")));
    }

    void maxScriptName_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("script");
        QTest::newRow("2010") << "C:/Autodesk/3ds Max 2010/scripts/Startup" << "o_vantrixMenu.ms";
        QTest::newRow("2012") << "C:/Autodesk/3ds Max 2012/scripts/Startup" << "o_vantrixMenu.ms";
        QTest::newRow("2013") << "C:/Autodesk/3ds Max 2013/scripts/Startup" << "vantrixMenu.ms";
        QTest::newRow("2014") << "C:/Autodesk/3ds Max 2014/scripts/Startup" << "vantrixMenu.ms";
        QTest::newRow("2016 below a 2011 path") << "C:/2011/3ds Max 2016/scripts/Startup" << "o_vantrixMenu.ms";
        QTest::newRow("no year") << "C:/Max/scripts/Startup" << "vantrixMenu.ms";
    }
    void maxScriptName()
    {
        QFETCH(QString, folder);
        QFETCH(QString, script);
        QCOMPARE(Removal::maxScriptName(folder), script);
    }

    void sketchUpWithoutAppDataTouchesNothing()
    {
        MachineRoot root;
        const QString plugins = seedSketchUp(QStringLiteral("2019"));
        Removal::removeSketchUpPlugin(QString());
        QVERIFY(QFileInfo::exists(plugins + QStringLiteral("/Vantrix_ZMT.rb")));
    }

    void batchText()
    {
        QCOMPARE(Removal::batchText(QStringLiteral("D:/Apps/VantrixZMT")),
                 QByteArray("ping -n 1 127.0.0.1>nul\r\nrd \"D:\\Apps\\VantrixZMT\" /s /q\r\ndel %0"));
    }

    void batchReplacesAnEarlierOne()
    {
        MachineRoot root;
        const QString path = Removal::batchPath();
        writeFile(Platform::nativePath(path), QByteArray(4096, 'z'));
        QVERIFY(Removal::writeBatch(path, QStringLiteral("/x/VantrixZMT")));
        QCOMPARE(readFile(root.path() + QStringLiteral("/ClearZMT.bat")), Removal::batchText(QStringLiteral("/x/VantrixZMT")));
    }

    void reasonUrls_data()
    {
        QTest::addColumn<QString>("third");
        QTest::addColumn<QString>("url");
        QTest::newRow("standard") << "" << "http://h/cms/uninstallReason/getPresentByType?type=2";
        QTest::newRow("Corvanta") << "Corvanta" << "http://h/cms/uninstallReason/getPresentByType?type=1";
        QTest::newRow("partner") << "Nimbrosia" << "http://h/cms/uninstallReason/getPresentByType?type=";
        QTest::newRow("edition compared exactly") << "corvanta" << "http://h/cms/uninstallReason/getPresentByType?type=";
    }
    void reasonUrls()
    {
        QFETCH(QString, third);
        QFETCH(QString, url);
        QCOMPARE(Survey::reasonListUrl(QStringLiteral("http://h"), third), url);
    }

    void offeredReasons_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QStringList>("shown");   // "id:text" in box order
        QTest::newRow("ordered by order") << QByteArray(R"({"rows":[{"id":50,"order":5,"reason":"e"},{"id":10,"order":1,"reason":"a"},{"id":30,"order":3,"reason":"c"}]})")
                                          << QStringList{"10:a", "30:c", "50:e"};
        QTest::newRow("same order, later wins") << QByteArray(R"({"rows":[{"id":1,"order":2,"reason":"old"},{"id":2,"order":2,"reason":"new"}]})")
                                                << QStringList{"2:new"};
        QTest::newRow("six rows, four lowest") << QByteArray(R"({"rows":[{"id":6,"order":6},{"id":5,"order":5},{"id":4,"order":4},{"id":3,"order":3},{"id":2,"order":2},{"id":1,"order":1}]})")
                                               << QStringList{"1:", "2:", "3:", "4:"};
        QTest::newRow("non-integral id and order count as 0") << QByteArray(R"({"rows":[{"id":"7","order":1.5,"reason":"x"}]})")
                                                              << QStringList{"0:x"};
        QTest::newRow("not JSON") << QByteArray("<html>") << QStringList{};
        QTest::newRow("no rows") << QByteArray(R"({"total":3})") << QStringList{};
        QTest::newRow("array document") << QByteArray(R"([{"id":1,"order":1}])") << QStringList{};
    }
    void offeredReasons()
    {
        QFETCH(QByteArray, body);
        QFETCH(QStringList, shown);
        QStringList got;
        for (const Survey::Reason &r : Survey::offeredReasons(body))
            got << QString::number(r.id) + QLatin1Char(':') + r.text;
        QCOMPARE(got, shown);
    }

    void report_data()
    {
        QTest::addColumn<QStringList>("ticked");
        QTest::addColumn<QString>("third");
        QTest::addColumn<QByteArray>("json");
        QTest::newRow("reason then free text") << QStringList{"7", "-1"} << ""
                                               << QByteArray(R"({"rows":[{"id":7},{"contact":"a@b.c","id":0,"other":"note"}],"type":2})");
        QTest::newRow("Corvanta") << QStringList{"3"} << "Corvanta" << QByteArray(R"({"rows":[{"id":3}],"type":1})");
        QTest::newRow("no reasons arrived") << QStringList{"", ""} << "" << QByteArray(R"({"rows":[{"id":0},{"id":0}],"type":2})");
        QTest::newRow("nothing ticked") << QStringList{} << "" << QByteArray(R"({"rows":[],"type":2})");
        QTest::newRow("partner reports nothing") << QStringList{"7"} << "Nimbrosia" << QByteArray("{}");
    }
    void report()
    {
        QFETCH(QStringList, ticked);
        QFETCH(QString, third);
        QFETCH(QByteArray, json);
        const QJsonObject report = Survey::report(
            Survey::reportRows(ticked, QStringLiteral("note"), QStringLiteral("a@b.c")), third);
        QCOMPARE(QJsonDocument(report).toJson(QJsonDocument::Compact), json);
    }

    void freeTextIsCutTo100()
    {
        const QJsonArray rows = Survey::reportRows({QStringLiteral("-1")}, QString(150, QLatin1Char('x')), QString());
        QCOMPARE(rows.at(0).toObject().value(QStringLiteral("other")).toString().size(), 100);
    }

    void dropAtCursor_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("cursor");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<int>("cursorAfter");
        const QString a50(50, QLatin1Char('a'));
        QTest::newRow("within the limit") << a50 << 10 << a50 << 10;
        QTest::newRow("typed in the middle") << QString(a50 + "X" + a50) << 51 << QString(a50 + a50) << 50;
        QTest::newRow("pasted at the end") << QString(a50 + a50 + "XYZ") << 103 << QString(a50 + a50) << 100;
        QTest::newRow("set as a whole, cursor at the start") << QString(a50 + a50 + "XYZ") << 0 << QString(a50 + a50) << 0;
    }
    void dropAtCursor()
    {
        QFETCH(QString, text);
        QFETCH(int, cursor);
        QFETCH(QString, kept);
        QFETCH(int, cursorAfter);
        QCOMPARE(Survey::dropAtCursor(text, cursor, 100), cursorAfter);
        QCOMPARE(text, kept);
    }
};

QTEST_GUILESS_MAIN(TestUninstallRules)
#include "tst_uninstallrules.moc"
