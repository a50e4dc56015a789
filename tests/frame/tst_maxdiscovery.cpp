#include "core/maxdiscovery.h"
#include "testroot.h"

#include <QtTest>

using namespace TestSupport;

// (product, release key, install folder below the machine root or "" for none, has scripts\Startup)
struct MaxInstall
{
    QString product;
    QString release;
    QString folder;
    bool startup;
};
using Installs = QList<MaxInstall>;
Q_DECLARE_METATYPE(Installs)

class TestMaxDiscovery : public QObject
{
    Q_OBJECT
private slots:
    void allMaxPath_data()
    {
        QTest::addColumn<Installs>("installs");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("3ds Max before Design")
            << Installs{{"3dsMaxDesign", "16.0", "Design 2014", true}, {"3dsMax", "16.0", "Max 2014", true}}
            << QStringList{"Max 2014", "Design 2014"};
        QTest::newRow("older release first")
            << Installs{{"3dsMax", "21.0", "Max 2019", true}, {"3dsMax", "12.0\\MAX-1:804", "Max 2010", true}}
            << QStringList{"Max 2010", "Max 2019"};
        QTest::newRow("two languages, one folder, listed twice")
            << Installs{{"3dsMax", "13.0\\MAX-1:409", "Max 2011", true},
                        {"3dsMax", "13.0\\MAX-1:804", "Max 2011", true}}
            << QStringList{"Max 2011", "Max 2011"};
        QTest::newRow("unknown releases never")
            << Installs{{"3dsMax", "22.0", "Max 2020", true}, {"3dsMax", "11.0", "Max 2009", true}}
            << QStringList{};
        QTest::newRow("no scripts folder")
            << Installs{{"3dsMax", "17.0", "Max 2015", false}, {"3dsMax", "18.0", "Max 2016", true}}
            << QStringList{"Max 2016"};
    }
    void allMaxPath()
    {
        QFETCH(Installs, installs);
        QFETCH(QStringList, expected);
        MachineRoot root;
        auto hklm = hive(root.path(), QStringLiteral("HKEY_LOCAL_MACHINE"));
        for (const MaxInstall &m : installs) {
            const QString dir = root.path() + QStringLiteral("/Autodesk/") + m.folder;
            QDir().mkpath(m.startup ? dir + QStringLiteral("/scripts/Startup") : dir);
            QString key = QStringLiteral("SOFTWARE/Autodesk/") + m.product + QLatin1Char('/') + m.release;
            key.replace(QLatin1Char('\\'), QLatin1Char('/'));
            // As 3ds Max writes it: backslashes and a trailing one.
            hklm->setValue(key + QStringLiteral("/Installdir"),
                           QString(dir + QLatin1Char('/')).replace(QLatin1Char('/'), QLatin1Char('\\')));
        }
        hklm->sync();

        QStringList got = MaxDiscovery::allMaxPath();
        QStringList want;
        for (const QString &folder : expected)
            want << root.path() + QStringLiteral("/Autodesk/") + folder + QStringLiteral("/scripts/Startup");
        QCOMPARE(got, want);
    }

    void missingTrailingSeparatorSkips()
    {
        MachineRoot root;
        const QString dir = root.path() + QStringLiteral("/Max");
        QDir().mkpath(dir + QStringLiteral("/scripts/Startup"));
        auto hklm = hive(root.path(), QStringLiteral("HKEY_LOCAL_MACHINE"));
        hklm->setValue(QStringLiteral("SOFTWARE/Autodesk/3dsMax/19.0/Installdir"), dir);
        hklm->sync();
        QVERIFY(MaxDiscovery::allMaxPath().isEmpty());
    }

    void valueBufferLimit()
    {
        MachineRoot root;
        auto hklm = hive(root.path(), QStringLiteral("HKEY_LOCAL_MACHINE"));
        hklm->setValue(QStringLiteral("SOFTWARE/Autodesk/3dsMax/20.0/Installdir"), QString(511, QLatin1Char('a')));
        hklm->setValue(QStringLiteral("SOFTWARE/Autodesk/3dsMax/21.0/Installdir"), QString(512, QLatin1Char('a')));
        hklm->sync();
        QCOMPARE(MaxDiscovery::maxInstallDir(1, QStringLiteral("20.0")).size(), 511);
        QVERIFY(MaxDiscovery::maxInstallDir(1, QStringLiteral("21.0")).isEmpty());
        QVERIFY(MaxDiscovery::maxInstallDir(2, QStringLiteral("20.0")).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestMaxDiscovery)
#include "tst_maxdiscovery.moc"
