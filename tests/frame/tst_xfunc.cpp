#include "core/regkeys.h"
#include "core/xfunc.h"
#include "platform/paths.h"
#include "testroot.h"

#include <QtTest>

using namespace TestSupport;
using Nics = QList<QPair<QString, QString>>;
Q_DECLARE_METATYPE(Nics)

class TestXFunc : public QObject
{
    Q_OBJECT
private slots:
    void urlEncode_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("encoded");
        QTest::newRow("mac") << "AA:BB:CC:DD:EE:FF" << "AA%3ABB%3ACC%3ADD%3AEE%3AFF";
        QTest::newRow("all five") << "a:/?&=b" << "a%3A%2F%3F%26%3Db";
        QTest::newRow("escape kept") << "x%3Ay" << "x%3Ay";
        QTest::newRow("space and CJK kept") << "[4]Intel Core 处理器" << "[4]Intel Core 处理器";
        QTest::newRow("empty") << "" << "";
    }
    void urlEncode()
    {
        QFETCH(QString, text);
        QFETCH(QString, encoded);
        QCOMPARE(XFunc::urlEncode(text), encoded);
    }

    void macFilter_data()
    {
        QTest::addColumn<Nics>("nics");
        QTest::addColumn<QString>("mac");
        QTest::newRow("only virtual") << Nics{{"VMware Network Adapter", "00:50:56:C0:00:01"},
                                              {"Loopback Pseudo-Interface 1", ""}}
                                      << "";
        QTest::newRow("lower-case vmware") << Nics{{"my vmware nic", "00:50:56:C0:00:02"}} << "";
        QTest::newRow("last physical wins") << Nics{{"Ethernet", "aa:bb:cc:dd:ee:01"},
                                                    {"isatap.{x}", "00:00:00:00:00:E0"},
                                                    {"Wi-Fi", "aa:bb:cc:dd:ee:02"}}
                                            << "AA:BB:CC:DD:EE:02";
        QTest::newRow("eight-byte address never") << Nics{{"Ethernet", "AA:BB:CC:DD:EE:01"},
                                                          {"Firewire", "AA:BB:CC:DD:EE:FF:00:11"}}
                                                  << "AA:BB:CC:DD:EE:01";
        QTest::newRow("tunnel") << Nics{{"Teredo Tunneling", "AA:BB:CC:DD:EE:03"}} << "";
    }
    void macFilter()
    {
        QFETCH(Nics, nics);
        QFETCH(QString, mac);
        QCOMPARE(XFunc::pickMacAddress(nics), mac);
    }

    void processorText()
    {
        MachineInfo info;
        QVERIFY(XFunc::machineInfo(info));
        QVERIFY2(QRegularExpression(QStringLiteral("^\\[[1-9][0-9]*\\]\\S")).match(info.cpu).hasMatch(),
                 qPrintable(info.cpu));
    }

    void regValueOfSeededMachine()
    {
        MachineRoot root;
        const QVariant appData = XFunc::regValue(RegKeys::shellFolders(), QStringLiteral("AppData"));
        QCOMPARE(appData.toString(), Platform::appDataDir());
        QVERIFY(appData.toString().startsWith(root.path()));
        QVERIFY(!XFunc::regValue(RegKeys::shellFolders(), QStringLiteral("Missing")).isValid());
    }
};

QTEST_GUILESS_MAIN(TestXFunc)
#include "tst_xfunc.moc"
