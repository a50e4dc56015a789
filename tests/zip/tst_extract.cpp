#include "zipthread.h"
#include "zmtextract.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <QtTest>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <quazip/quazipnewinfo.h>

namespace
{

struct Item {
    QString name;
    QByteArray data;
    QFile::Permissions perms = {};
    quint32 unixMode = 0; // overrides perms: the whole high half of the external attributes
    int method = Z_DEFLATED;
};
using Items = QVector<Item>;

void makeZip(const QString &path, const Items &items)
{
    QuaZip zip(path);
    QVERIFY(zip.open(QuaZip::mdCreate));
    for (const Item &item : items) {
        QuaZipNewInfo info(item.name);
        if (item.perms)
            info.setPermissions(item.perms);
        if (item.unixMode)
            info.externalAttr = item.unixMode << 16;
        QuaZipFile file(&zip);
        QVERIFY(file.open(QIODevice::WriteOnly, info, nullptr, 0, item.method));
        QCOMPARE(file.write(item.data), qint64(item.data.size()));
        file.close();
        QCOMPARE(file.getZipError(), UNZ_OK);
    }
    zip.close();
    QCOMPARE(zip.getZipError(), UNZ_OK);
}

// Content that does not compress away, so that reading it takes a while and spans many chunks.
QByteArray noise(int size, quint32 seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i) {
        seed = seed * 1103515245u + 12345u;
        bytes[i] = char(seed >> 23);
    }
    return bytes;
}

Items numbered(int count)
{
    Items items;
    for (int i = 1; i <= count; ++i)
        items << Item { QStringLiteral("d%1/f%2.txt").arg(i % 4).arg(i), QByteArray::number(i) };
    return items;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QStringList filesBelow(const QString &dir)
{
    QStringList found;
    QDirIterator it(dir, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        found << it.next();
    return found;
}

// Stands in for the installer window: lives on the main thread and counts as the window does.
class Window : public QObject
{
    Q_OBJECT
public:
    QVector<int> bar;
    int counter = 0;
    int oksAfterFinish = 0;
    bool finished = false;
public slots:
    void oneOk()
    {
        ++counter;
        bar << counter / 3;
        if (finished)
            ++oksAfterFinish;
    }
    void zipOver() { finished = true; }
};

struct Run {
    QVector<int> bar;
    int oksAfterFinish = 0;
    bool succeeded = false;
};

Run runThread(const QString &zipPath, const QString &destDir)
{
    Window window;
    ZipThread thread;
    QObject::connect(&thread, &QThread::finished, &window, &Window::zipOver);
    QObject::connect(&thread, &ZipThread::oneOk, &window, &Window::oneOk);
    thread.setPaths(zipPath, destDir);
    thread.start();
    [&] { QTRY_VERIFY_WITH_TIMEOUT(window.finished, 60000); }();
    // Anything still queued would show up now, after finished().
    QCoreApplication::processEvents();
    thread.wait();
    return Run { window.bar, window.oksAfterFinish, thread.succeeded() };
}

QStringList namesTold(const QString &zipPath, const QString &target, int workers, QStringList *result)
{
    QObject notifier;
    QStringList names;
    QObject::connect(&notifier, &QObject::objectNameChanged, [&](const QString &n) { names << n; });
    *result = ZipExtract::extractDir(zipPath, target, &notifier, ZipExtract::Tuning { workers });
    return names;
}

} // namespace

Q_DECLARE_METATYPE(Item)

class TestExtract : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> tmp;
    QString base;
    QString zipPath;
    QString target;

private slots:
    void init()
    {
        tmp = std::make_unique<QTemporaryDir>();
        QVERIFY(tmp->isValid());
        base = tmp->path();
        zipPath = base + QStringLiteral("/files.zip");
        // A version folder below a product folder, as the window composes it.
        target = base + QStringLiteral("/Vantrix/VantrixZMT\\3.0.1.07415");
    }
    void cleanup() { tmp.reset(); }

    // Every worker count gives the same tree, the same list, and tells every entry once, in order.
    void roundTrip_data()
    {
        QTest::addColumn<int>("workers");
        QTest::newRow("automatic") << 0;
        QTest::newRow("one reader") << 1;
        QTest::newRow("two readers") << 2;
        QTest::newRow("three readers") << 3;
    }
    void roundTrip()
    {
        QFETCH(int, workers);
        Items items;
        items << Item { QStringLiteral("bin/"), {} };
        for (int i = 0; i < 40; ++i) {
            const int size = i % 7 == 0 ? 700 * 1024 + i : 100 * i;
            items << Item { QStringLiteral("bin/sub%1/deep/file%2.dat").arg(i % 3).arg(i),
                noise(size, quint32(i)), {}, 0, i % 2 ? Z_DEFLATED : 0 };
        }
        items << Item { QStringLiteral("empty.txt"), {} }
              << Item { QStringLiteral("win\\style\\name.txt"), "w" };
        makeZip(zipPath, items);

        QStringList result;
        const QStringList names = namesTold(zipPath, target, workers, &result);

        const QString root = QDir::cleanPath(target.replace(QLatin1Char('\\'), QLatin1Char('/')));
        QStringList expectedNames, expectedPaths;
        for (const Item &item : qAsConst(items)) {
            expectedNames << item.name;
            QString rel = item.name;
            rel.replace(QLatin1Char('\\'), QLatin1Char('/'));
            if (rel.endsWith(QLatin1Char('/')))
                rel.chop(1);
            expectedPaths << root + QLatin1Char('/') + rel;
        }
        QCOMPARE(names, expectedNames);
        QCOMPARE(result, expectedPaths);
        for (int i = 0; i < items.size(); ++i) {
            const Item &item = items.at(i);
            if (item.name.endsWith(QLatin1Char('/')))
                continue;
            const QString path = expectedPaths.at(i);
            QVERIFY2(readAll(path) == item.data, qPrintable(path));
        }
        QVERIFY(QFileInfo(root + QStringLiteral("/win/style/name.txt")).isFile());
        QCOMPARE(filesBelow(root).size(), items.size() - 1);
    }

    // The window's bar: counter / 3 per tick, every tick before finished().
    void progressAsTheWindowSeesIt_data()
    {
        QTest::addColumn<int>("entries");
        QTest::newRow("30 entries") << 30;
        QTest::newRow("450 entries") << 450;
    }
    void progressAsTheWindowSeesIt()
    {
        QFETCH(int, entries);
        makeZip(zipPath, numbered(entries));
        const Run run = runThread(zipPath, target);
        QVector<int> expected;
        for (int i = 1; i <= entries; ++i)
            expected << i / 3;
        QCOMPARE(run.bar, expected);
        QCOMPARE(run.oksAfterFinish, 0);
        QVERIFY(run.succeeded);
        if (entries == 30)
            QCOMPARE(run.bar.mid(0, 6), (QVector<int> { 0, 0, 1, 1, 1, 2 }));
    }

    // Two consecutive entries of one name are one tick; the later one's content stays, also when
    // readers share the archive.
    void sameNameTwice_data()
    {
        QTest::addColumn<int>("workers");
        QTest::newRow("one reader") << 1;
        QTest::newRow("two readers") << 2;
    }
    void sameNameTwice()
    {
        QFETCH(int, workers);
        Items items { { QStringLiteral("a.txt"), noise(300000, 1) }, { QStringLiteral("a.txt"), "second" },
            { QStringLiteral("b.txt"), noise(300000, 2) }, { QStringLiteral("B.TXT"), "upper" } };
        makeZip(zipPath, items);

        QStringList result;
        const QStringList names = namesTold(zipPath, target, workers, &result);
        QCOMPARE(names, (QStringList { "a.txt", "b.txt", "B.TXT" }));
        QCOMPARE(result.size(), 4);
        QCOMPARE(readAll(result.at(0)), QByteArray("second"));
        QCOMPARE(readAll(result.at(2)), items.at(2).data);
        QCOMPARE(readAll(result.at(3)), QByteArray("upper"));

        const Run run = runThread(zipPath, base + QStringLiteral("/again"));
        QCOMPARE(run.bar.size(), 3);
        QVERIFY(run.succeeded);
    }

    // An entry that cannot be written, found before or while writing: everything of ours goes, what
    // was there before stays.
    void failureAtFifthEntry_data()
    {
        QTest::addColumn<QString>("obstacle");
        QTest::addColumn<int>("workers");
        for (int workers : { 1, 2 }) {
            const QByteArray suffix = workers == 1 ? " / one reader" : " / two readers";
            QTest::newRow(QByteArray(QByteArray("parent folder is a file") + suffix).constData())
                << "parentIsFile" << workers;
            QTest::newRow(QByteArray(QByteArray("file is a folder") + suffix).constData())
                << "fileIsFolder" << workers;
            QTest::newRow(QByteArray(QByteArray("corrupt data") + suffix).constData())
                << "corrupt" << workers;
        }
    }
    void failureAtFifthEntry()
    {
        QFETCH(QString, obstacle);
        QFETCH(int, workers);
        Items items;
        for (int i = 1; i <= 4; ++i)
            items << Item { QStringLiteral("f%1.bin").arg(i), noise(200000, quint32(i)) };
        const QByteArray marker = "FIFTH-ENTRY-MARKER";
        items << Item { QStringLiteral("sub/f5.bin"), marker + noise(200000, 5), {}, 0, 0 };
        for (int i = 6; i <= 12; ++i)
            items << Item { QStringLiteral("late/f%1.bin").arg(i), noise(200000, quint32(i)) };
        makeZip(zipPath, items);

        const QString root = QDir::cleanPath(QString(target).replace(QLatin1Char('\\'), QLatin1Char('/')));
        QString keep;
        if (obstacle == QLatin1String("parentIsFile")) {
            QVERIFY(QDir().mkpath(root));
            keep = root + QStringLiteral("/sub");
            QFile file(keep);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("not a folder");
        } else if (obstacle == QLatin1String("fileIsFolder")) {
            QVERIFY(QDir().mkpath(root + QStringLiteral("/sub/f5.bin")));
            keep = root + QStringLiteral("/sub/f5.bin/mine.txt");
            QFile file(keep);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("mine");
        } else {
            QFile zip(zipPath);
            QVERIFY(zip.open(QIODevice::ReadWrite));
            QByteArray bytes = zip.readAll();
            const int at = bytes.indexOf(marker);
            QVERIFY(at > 0);
            bytes[at] = 'X'; // stored, so only the checksum can tell
            zip.seek(0);
            zip.write(bytes);
        }

        QStringList result;
        const QStringList names = namesTold(zipPath, target, workers, &result);
        QVERIFY(result.isEmpty());
        QVERIFY(names.size() <= 4);
        QStringList left = filesBelow(base);
        left.removeAll(zipPath);
        if (keep.isEmpty()) {
            QVERIFY2(left.isEmpty(), qPrintable(left.join(QLatin1Char(' '))));
            QVERIFY(!QFileInfo::exists(base + QStringLiteral("/Vantrix"))); // folders we made went too
        } else {
            QCOMPARE(left, QStringList { keep });
        }

        const Run run = runThread(zipPath, target);
        QVERIFY(!run.succeeded);
    }

    // Names that would reach outside the target, each after a good entry: nothing lands where the
    // fault would put it, and nothing stays in the target either.
    void hostileEntries_data()
    {
        QTest::addColumn<Items>("items");
        QTest::addColumn<QString>("faultPath"); // relative to the target's parent unless absolute

        const Item good { QStringLiteral("good.txt"), "good" };
        const QByteArray evil = "evil";
        QTest::newRow("dot-dot") << Items { good, { "../evil.txt", evil } } << "evil.txt";
        QTest::newRow("dot-dot inside") << Items { good, { "a/../../evil.txt", evil } } << "evil.txt";
        QTest::newRow("dot-dot backslash") << Items { good, { "..\\evil.txt", evil } } << "evil.txt";
        QTest::newRow("dot-dot deep")
            << Items { good, { "a\\b\\..\\..\\..\\..\\evil.txt", evil } } << "../evil.txt";
        QTest::newRow("dots and space") << Items { good, { ".. /evil.txt", evil } } << "evil.txt";
        const QString abs
            = QDir::tempPath() + QStringLiteral("/abs-%1.txt").arg(QCoreApplication::applicationPid());
        QTest::newRow("absolute") << Items { good, { abs, evil } } << abs;
        QTest::newRow("drive letter rooted") << Items { good, { "C:\\evil.txt", evil } } << "evil.txt";
        QTest::newRow("drive letter relative") << Items { good, { "C:evil.txt", evil } } << "evil.txt";
        QTest::newRow("stream name") << Items { good, { "good.txt:hidden", evil } } << "evil.txt";
        // A link to the target's parent, then a file written through it.
        QTest::newRow("symlink out") << Items { good, { "lnk", "..", {}, 0120777 }, { "lnk/evil.txt", evil } }
                                     << "evil.txt";
        QTest::newRow("symlink absolute")
            << Items { good, { "lnk", QFile::encodeName(QDir::tempPath()), {}, 0120777 } } << "evil.txt";
    }
    void hostileEntries()
    {
        QFETCH(Items, items);
        QFETCH(QString, faultPath);
        makeZip(zipPath, items);
        const QString root = QDir::cleanPath(QString(target).replace(QLatin1Char('\\'), QLatin1Char('/')));
        const QString parent = QFileInfo(root).path();
        const QString fault
            = QDir::isAbsolutePath(faultPath) ? faultPath : QDir::cleanPath(parent + '/' + faultPath);
        QFile::remove(fault);

        for (int workers : { 1, 2 }) {
            QStringList result;
            const QStringList names = namesTold(zipPath, target, workers, &result);
            QVERIFY2(!QFileInfo::exists(fault) && !QFileInfo(fault).isSymLink(), qPrintable(fault));
            QStringList left = filesBelow(base);
            left.removeAll(zipPath);
            QVERIFY2(left.isEmpty(), qPrintable(left.join(QLatin1Char(' '))));
            QVERIFY(!QFileInfo::exists(root)
                || QDir(root).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System | QDir::Hidden));
            QVERIFY(result.isEmpty());
            QVERIFY(names.isEmpty());
        }
        QVERIFY(!runThread(zipPath, target).succeeded);
        QFile::remove(fault);
    }

    // Harmless names that only look odd stay inside and are kept.
    void oddButContained()
    {
        makeZip(zipPath,
            Items { { "./a/./b.txt", "b" }, { "a//c.txt", "c" }, { "..a/d.txt", "d" }, { "e..txt", "e" } });
        QStringList result;
        namesTold(zipPath, target, 1, &result);
        QCOMPARE(result.size(), 4);
        const QString root = QDir::cleanPath(QString(target).replace(QLatin1Char('\\'), QLatin1Char('/')));
        QCOMPARE(readAll(root + QStringLiteral("/a/b.txt")), QByteArray("b"));
        QCOMPARE(readAll(root + QStringLiteral("/a/c.txt")), QByteArray("c"));
        QCOMPARE(readAll(root + QStringLiteral("/..a/d.txt")), QByteArray("d"));
        QCOMPARE(readAll(root + QStringLiteral("/e..txt")), QByteArray("e"));
    }

    void unusableArchive_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("missing") << "missing";
        QTest::newRow("truncated") << "truncated";
        QTest::newRow("garbage") << "garbage";
        QTest::newRow("empty archive") << "empty";
    }
    void unusableArchive()
    {
        QFETCH(QString, kind);
        if (kind == QLatin1String("truncated")) {
            makeZip(zipPath, numbered(20));
            QFile zip(zipPath);
            QVERIFY(zip.resize(zip.size() / 2));
        } else if (kind == QLatin1String("garbage")) {
            QFile zip(zipPath);
            QVERIFY(zip.open(QIODevice::WriteOnly));
            zip.write(noise(5000, 9));
        } else if (kind == QLatin1String("empty")) {
            makeZip(zipPath, {});
        }
        QVERIFY(ZMTextractDir(zipPath, target, nullptr).isEmpty());
        const Run run = runThread(zipPath, target);
        QVERIFY(!run.succeeded);
        QVERIFY(run.bar.isEmpty());
        QStringList left = filesBelow(base);
        left.removeAll(zipPath);
        QVERIFY(left.isEmpty());
    }

    // The client executable must stay executable; no mode means the system default; a read-only
    // mode still lets updates replace the file.
    void permissions()
    {
        const auto exec = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
            | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
        makeZip(zipPath,
            Items { { "bin/VantrixZMT", "#!/bin/sh\n", exec }, { "plain.txt", "p" },
                { "ro.txt", "r", QFile::ReadOwner | QFile::ReadGroup } });
        QStringList result;
        namesTold(zipPath, target, 1, &result);
        QCOMPARE(result.size(), 3);
        QVERIFY(QFileInfo(result.at(0)).isExecutable());
        QCOMPARE(QFile::permissions(result.at(0)) & exec, exec);
        QVERIFY(!(QFile::permissions(result.at(1)) & QFile::ExeOwner));
        QVERIFY(QFile::permissions(result.at(2)) & QFile::WriteOwner);
        QVERIFY(!(QFile::permissions(result.at(2)) & QFile::WriteGroup));
    }
};

QTEST_GUILESS_MAIN(TestExtract)
#include "tst_extract.moc"
