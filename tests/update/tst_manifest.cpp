#include "core/serviceconfig.h"
#include "manifest.h"

#include <QtTest>

// The rules that turn a manifest into local files and requests.
class TestManifest : public QObject
{
    Q_OBJECT
private:
    static QByteArray filesManifest(const QStringList &names)
    {
        QByteArray xml = "<update version=\"9\"><files>";
        for (const QString &n : names)
            xml += "<file name=\"" + n.toUtf8() + "\" path=\"root/bin\" hashCode=\"h\"/>";
        return xml + "</files></update>";
    }

private slots:
    void versionGate_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<bool>("above");
        QTest::newRow("the gate itself") << "5.1.9.1" << false;
        QTest::newRow("next build") << "5.1.9.2" << true;
        QTest::newRow("two-digit minor compares as text") << "5.1.10.0" << false;
        QTest::newRow("shorter but greater") << "5.2" << true;
        QTest::newRow("major only") << "6" << true;
        QTest::newRow("ten is below as text") << "10.0" << false;
        QTest::newRow("gate extended") << "5.1.9.1.1" << true;
        QTest::newRow("gate prefix") << "5.1.9" << false;
        QTest::newRow("empty") << "" << false;
    }
    void versionGate()
    {
        QFETCH(QString, version);
        QFETCH(bool, above);
        QCOMPARE(Manifest::aboveGate(version), above);
    }

    void expectedClientName_data()
    {
        QTest::addColumn<QString>("third");
        QTest::addColumn<QString>("expected");
        QTest::newRow("standard") << "" << "VX-X.exe";
        QTest::newRow("partner") << "Nimbrosia" << "VX-Nimbrosia.exe";
        QTest::newRow("Render removed") << "SampleRender" << "VX-Sample.exe";
        QTest::newRow("every Render removed") << "RenderSampleRender" << "VX-Sample.exe";
        QTest::newRow("render in lower case stays") << "Samplerender" << "VX-Samplerender.exe";
    }
    void expectedClientName()
    {
        QFETCH(QString, third);
        QFETCH(QString, expected);
        QCOMPARE(Manifest::expectedClientName(third), expected);
    }

    // Which entries survive and under which local name.
    void editionFilter_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("third");
        QTest::addColumn<QStringList>("listed");
        QTest::addColumn<QStringList>("kept"); // local file names, in order
        const QStringList all{"VantrixZMT.exe", "VX-X.exe", "VX-Sample.exe", "vx-x.exe", "readme.txt"};
        QTest::newRow("standard above the gate")
            << "5.1.9.2" << "" << all << QStringList{"VantrixZMT.exe", "vx-x.exe", "readme.txt"};
        QTest::newRow("partner above the gate")
            << "6" << "SampleRender" << all << QStringList{"VantrixZMT.exe", "vx-x.exe", "readme.txt"};
        QTest::newRow("partner above, own exe not listed")
            << "6" << "Nimbrosia" << all << QStringList{"vx-x.exe", "readme.txt"};
        QTest::newRow("at the gate all stay") << "5.1.9.1" << "" << all << all;
        QTest::newRow("below as text all stay") << "5.1.10.0" << "" << all << all;
        QTest::newRow("VX- without .exe is no candidate")
            << "6" << "" << QStringList{"VX-X.dll", "VX-.exe"} << QStringList{"VX-X.dll"};
    }
    void editionFilter()
    {
        QFETCH(QString, version);
        QFETCH(QString, third);
        QFETCH(QStringList, listed);
        QFETCH(QStringList, kept);
        const Manifest::Result r = Manifest::parse(filesManifest(listed), version, third, "R", "D");
        QVERIFY(r.wellFormed);
        QStringList names;
        for (const FileItem &item : r.items.files) {
            const QString local = item.localPath.mid(item.localPath.lastIndexOf('/') + 1);
            names << local;
            QCOMPARE(item.downPath, QString("D" + item.localPath.mid(1)));
            QVERIFY(item.current.isEmpty());
            // The server name always travels in the URL, also for the renamed client.
            QVERIFY(listed.contains(item.name));
        }
        QCOMPARE(names, kept);
    }

    void dirRule_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("dir");
        QTest::newRow("first segment dropped") << "abc/def/ghi" << "/def/ghi";
        QTest::newRow("trailing slash") << "abc/" << "/";
        QTest::newRow("no slash keeps all") << "abc" << "abc";
        QTest::newRow("empty") << "" << "";
        QTest::newRow("leading slash") << "/abc" << "/abc";
    }
    void dirRule()
    {
        QFETCH(QString, path);
        QFETCH(QString, dir);
        QCOMPARE(Manifest::dirOf(path), dir);
    }

    void paths()
    {
        const QByteArray xml = "<u><prefix>http://h/s/</prefix><files>"
                               "<f name=\"a.dll\" path=\"root/bin\" hashCode=\"x\"/></files></u>";
        const Manifest::Result r = Manifest::parse(xml, "3.1", "", "C:\\inst", "C:\\down");
        QCOMPARE(r.items.files.size(), 1);
        const FileItem &item = r.items.files.first();
        QCOMPARE(item.dir, QString("/bin"));
        QCOMPARE(item.localPath, QString("C:\\inst//bin/a.dll"));
        QCOMPARE(item.downPath, QString("C:\\down//bin/a.dll"));
        QCOMPARE(r.streamUrl, QString("http://h/s/getVersionStream.htm"));
        QCOMPARE(Manifest::fileUrl(r.streamUrl, item, "3.1"),
                 QString("http://h/s/getVersionStream.htm?path=files/root/bin/a.dll&version=3.1"));
    }

    void manifestUrl_data()
    {
        QTest::addColumn<bool>("isEn");
        QTest::addColumn<QString>("third");
        QTest::addColumn<QString>("url");
        QTest::newRow("Chinese: primary") << false << "" << "http://p:1/getVersionFile.htm?version=5.2 beta";
        QTest::newRow("English: alternate") << true << "" << "http://a/getVersionFile.htm?version=5.2 beta";
        QTest::newRow("Nimbrosia") << false << "Nimbrosia"
                                   << "http://p:1/getVersionFile.htm?version=5.2 beta&client=nim";
        QTest::newRow("Corvanta") << true << "Corvanta" << "http://a/getVersionFile.htm?version=5.2 beta&client=u3d";
        QTest::newRow("other letter case adds nothing") << false << "nimbrosia"
                                                         << "http://p:1/getVersionFile.htm?version=5.2 beta";
        QTest::newRow("partner adds nothing") << false << "SampleRender"
                                              << "http://p:1/getVersionFile.htm?version=5.2 beta";
    }
    void manifestUrl()
    {
        QFETCH(bool, isEn);
        QFETCH(QString, third);
        QFETCH(QString, url);
        ServiceConfig config;
        config.updatePrimary = "http://p:1";
        config.updateAlternate = "http://a/";
        QCOMPARE(Manifest::manifestUrl(config, isEn, third, "5.2 beta"), url);
    }

    // Every manifest element, repeated elements, and nodes that are not elements.
    void documentWalk()
    {
        const QByteArray xml = "<anything version=\"7.0\">"
                               "<note>first</note>"
                               "<prefix>http://one/</prefix>"
                               "<files><f name=\"a\" path=\"r/\" hashCode=\"1\"/><!-- c --></files>"
                               "<plugins><p name=\"pl\" path=\"pp\" hashCode=\"2\"/></plugins>"
                               "<regs><r name=\"r1\"/><r name=\"r2\"/></regs>"
                               "<bats><b name=\"b1\"/></bats>"
                               "<files><f name=\"b\" path=\"r/x\"/></files>"
                               "<prefix>http://two/</prefix>"
                               "<other><f name=\"ignored\"/></other>"
                               "<note><![CDATA[<b>second</b>]]></note>"
                               "</anything>";
        const Manifest::Result r = Manifest::parse(xml, "1", "", "R", "R");
        QVERIFY(r.wellFormed);
        QCOMPARE(r.version, QString("7.0"));
        QCOMPARE(r.items.files.size(), 2);
        QCOMPARE(r.items.files.at(1).name, QString("b"));
        QVERIFY(r.items.files.at(1).hashCode.isEmpty());
        QCOMPARE(r.items.plugins.size(), 1);
        QCOMPARE(r.items.plugins.first().hashCode, QString("2"));
        QVERIFY(r.items.plugins.first().localPath.isEmpty());
        QCOMPARE(r.items.regs, QStringList({"r1", "r2"}));
        QCOMPARE(r.items.bats, QStringList({"b1"}));
        QCOMPARE(r.streamUrl, QString("http://two/getVersionStream.htm"));
        QCOMPARE(r.notes, QStringList({"first", "<b>second</b>"}));
        QVERIFY(r.unsafe.isEmpty());
    }

    void notWellFormed()
    {
        QVERIFY(!Manifest::parse("<update><files>", "1", "", "R", "R").wellFormed);
        QVERIFY(!Manifest::parse("", "1", "", "R", "R").wellFormed);
        QVERIFY(!Manifest::parse("<html>oops</body>", "1", "", "R", "R").wellFormed);
    }

    // Entries whose local file would not be below the installation directory.
    void staysBelowRoot_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("safe");
        QTest::newRow("plain") << "root/bin" << "a.dll" << true;
        QTest::newRow("top level") << "root/" << "a.dll" << true;
        QTest::newRow("climb and return") << "root/bin/../lib" << "a.dll" << true;
        QTest::newRow("climb out in path") << "root/../.." << "a.dll" << false;
        QTest::newRow("climb out in name") << "root/" << "../a.dll" << false;
        QTest::newRow("backslash climb") << "root/bin" << "..\\..\\a.dll" << false;
        QTest::newRow("drive letter in path") << "root/C:/Windows" << "a.dll" << false;
        QTest::newRow("drive letter in name") << "root/" << "C:\\a.dll" << false;
        QTest::newRow("whole path is a drive") << "D:" << "a.dll" << false;
        QTest::newRow("empty name is the folder") << "root/bin" << "" << false;
        QTest::newRow("name dot-dot") << "root/bin" << ".." << false;
        QTest::newRow("name dot") << "root/bin" << "." << false;
    }
    void staysBelowRoot()
    {
        QFETCH(QString, path);
        QFETCH(QString, name);
        QFETCH(bool, safe);
        const QByteArray xml = "<u><files><f name=\"" + name.toHtmlEscaped().toUtf8() + "\" path=\""
                               + path.toHtmlEscaped().toUtf8() + "\" hashCode=\"h\"/></files></u>";
        const Manifest::Result r = Manifest::parse(xml, "1", "", "R", "R");
        QCOMPARE(r.items.files.size(), 1);
        QCOMPARE(r.unsafe.isEmpty(), safe);
    }
};

QTEST_GUILESS_MAIN(TestManifest)
#include "tst_manifest.moc"
