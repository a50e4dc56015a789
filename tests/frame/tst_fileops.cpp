#include "core/fileops.h"
#include "core/xfunc.h"
#include "platform/paths.h"
#include "testroot.h"

#include <QtTest>

using namespace TestSupport;

class TestFileOps : public QObject
{
    Q_OBJECT
private slots:
    void init() { root = std::make_unique<MachineRoot>(); }
    void cleanup() { root.reset(); }

    void readOnlyFile()
    {
        const QString file = root->path() + QStringLiteral("/keep/ro.txt");
        writeFile(file, "x");
        writeFile(root->path() + QStringLiteral("/keep/other.txt"), "y");
        QFile::setPermissions(file, QFile::ReadOwner);
        FileOps::remove(file, FileOps::Traced);
        QVERIFY(!QFileInfo::exists(file));
        QVERIFY(QFileInfo::exists(root->path() + QStringLiteral("/keep/other.txt")));
    }

    // Both removal flavours take a tree, and the emptied vendor folder with it, but stop at a
    // parent that still holds something.
    void treeAndUpwardWalk_data()
    {
        QTest::addColumn<int>("trace");
        QTest::newRow("veryDel") << int(FileOps::Traced);
        QTest::newRow("delDir") << int(FileOps::Quiet);
    }
    void treeAndUpwardWalk()
    {
        QFETCH(int, trace);
        const QString apps = root->path() + QStringLiteral("/Apps");
        const QString product = apps + QStringLiteral("/Vendor/VantrixZMT");
        writeFile(product + QStringLiteral("/1.0.12345/bin/a.dll"), "a");
        writeFile(product + QStringLiteral("/1.0.12345/.hidden"), "h");
        writeFile(product + QStringLiteral("/1.0.12345/deep/er/b.txt"), "b");
        QFile::setPermissions(product + QStringLiteral("/1.0.12345/bin/a.dll"), QFile::ReadOwner);
        writeFile(apps + QStringLiteral("/neighbour.txt"), "n");

        FileOps::remove(product + QStringLiteral("\\1.0.12345"), FileOps::Trace(trace));
        QVERIFY(!QFileInfo::exists(product));
        QVERIFY(!QFileInfo::exists(apps + QStringLiteral("/Vendor")));
        QVERIFY(QFileInfo::exists(apps + QStringLiteral("/neighbour.txt")));
    }

    void neverTheMachineRootOrItsFolders()
    {
        const QString tree = root->path() + QStringLiteral("/Program Files/Vantrix");
        writeFile(tree + QStringLiteral("/x.txt"), "x");
        FileOps::remove(tree, FileOps::Traced);
        QVERIFY(!QFileInfo::exists(tree));
        QVERIFY(QFileInfo(root->path() + QStringLiteral("/Program Files")).isDir());
        QVERIFY(QFileInfo(root->path()).isDir());
    }

    void linksAreRemovedNotFollowed()
    {
        QTemporaryDir outside;
        writeFile(outside.path() + QStringLiteral("/precious.txt"), "p");
        const QString tree = root->path() + QStringLiteral("/Apps/VantrixZMT/1.0.1");
        writeFile(tree + QStringLiteral("/a.txt"), "a");
        QVERIFY(QFile::link(outside.path(), tree + QStringLiteral("/dirlink")));
        QVERIFY(QFile::link(outside.path() + QStringLiteral("/precious.txt"), tree + QStringLiteral("/filelink")));
        FileOps::remove(tree, FileOps::Traced);
        QVERIFY(!QFileInfo::exists(tree));
        QCOMPARE(readFile(outside.path() + QStringLiteral("/precious.txt")), QByteArray("p"));

        // A shortcut handed over directly is the link itself.
        const QString shortcut = root->path() + QStringLiteral("/s.lnk");
        QVERIFY(QFile::link(outside.path(), shortcut));
        FileOps::remove(shortcut, FileOps::Traced);
        QVERIFY(!QFileInfo(shortcut).isSymLink());
        QVERIFY(QFileInfo::exists(outside.path() + QStringLiteral("/precious.txt")));
    }

    void emptyOrMissingPathDoesNothing()
    {
        writeFile(root->path() + QStringLiteral("/a/b.txt"), "b");
        FileOps::remove(QString(), FileOps::Traced);
        XFunc::delDir(QString());
        XFunc::delDir(root->path() + QStringLiteral("/a/missing"));
        FileOps::remove(root->path() + QStringLiteral("/a/missing"), FileOps::Traced);
        QVERIFY(QFileInfo::exists(root->path() + QStringLiteral("/a/b.txt")));
    }

    void composedPathReachesItsFile()
    {
        const QString installDir = root->path() + QStringLiteral("\\Vantrix\\\\VantrixZMT\\3.0.1.07415");
        const QString file = Platform::nativePath(installDir + QStringLiteral("\\uninstall.exe"));
        writeFile(file, "u");
        QVERIFY(QFileInfo::exists(root->path() + QStringLiteral("/Vantrix/VantrixZMT/3.0.1.07415/uninstall.exe")));
        QVERIFY(!file.contains(QLatin1Char('\\')));
        FileOps::remove(installDir + QStringLiteral("\\uninstall.exe"), FileOps::Traced);
        QVERIFY(!QFileInfo::exists(file));
    }

private:
    std::unique_ptr<MachineRoot> root;
};

QTEST_GUILESS_MAIN(TestFileOps)
#include "tst_fileops.moc"
