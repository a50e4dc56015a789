#include "platform/win32/tasklist.h"

#include <QtTest>

// tasklist's table as Windows prints it for "tasklist -fi "imagename eq NAME"".
class TestTasklist : public QObject
{
    Q_OBJECT
private slots:
    void parse_data()
    {
        const QByteArray header = "\r\nImage Name                     PID Session Name        Session#    Mem Usage\r\n"
                                  "========================= ======== ================ =========== ============\r\n";
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("listed");
        QTest::newRow("listed") << header + "3dsmax.exe                    4312 Console                    1    512,344 K\r\n"
                                << "3dsmax.exe" << true;
        QTest::newRow("second of two") << header + "VantrixZMT.exe                 812 Console                    1     20,100 K\r\n"
                                                   "VantrixZMT.exe                 964 Console                    1     19,870 K\r\n"
                                       << "VantrixZMT.exe" << true;
        QTest::newRow("other letter case") << header + "3DSMAX.EXE                    4312 Console                    1    512,344 K\r\n"
                                           << "3dsmax.exe" << false;
        QTest::newRow("longer name holding it") << header + "my3dsmax.exe                  4312 Console                    1    512,344 K\r\n"
                                                << "3dsmax.exe" << false;
        QTest::newRow("name that is a prefix") << header + "3dsmax.exe.old                4312 Console                    1    512,344 K\r\n"
                                               << "3dsmax.exe" << false;
        QTest::newRow("blank in the name") << header + "Render Client.exe             4312 Console                    1    512,344 K\r\n"
                                           << "Render Client.exe" << true;
        QTest::newRow("nothing running") << QByteArray("INFO: No tasks are running which match the specified criteria.\r\n")
                                         << "3dsmax.exe" << false;
        QTest::newRow("wine prints nothing") << QByteArray() << "3dsmax.exe" << false;
    }
    void parse()
    {
        QFETCH(QByteArray, output);
        QFETCH(QString, name);
        QFETCH(bool, listed);
        QCOMPARE(Win32::tasklistHasImage(output.toStdString(), name.toStdString()), listed);
    }
};

QTEST_GUILESS_MAIN(TestTasklist)
#include "tst_tasklist.moc"
