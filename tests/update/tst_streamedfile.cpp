#include "streamedfile.h"

#include <QtTest>

// The file a large download is streamed into holds exactly what was appended, however the bytes
// were cut into pieces and wherever the end falls against the disk's alignment.
class TestStreamedFile : public QObject
{
    Q_OBJECT
private slots:
    void holdsWhatWasAppended_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("piece");
        QTest::newRow("nothing") << 0 << 1000;
        QTest::newRow("shorter than a page") << 100 << 7;
        QTest::newRow("one page") << 4096 << 4096;
        QTest::newRow("one block") << 4 * 1024 * 1024 << 65536;
        QTest::newRow("blocks and an unaligned end") << 9 * 1024 * 1024 + 123 << 65537;
        QTest::newRow("blocks and an aligned end") << 9 * 1024 * 1024 + 8192 << (1 << 20);
    }
    void holdsWhatWasAppended()
    {
        QFETCH(int, size);
        QFETCH(int, piece);
        QTemporaryDir dir;
        const QString path = dir.path() + QStringLiteral("/streamed.bin");
        std::unique_ptr<StreamedFile> file = StreamedFile::create(path);
        if (!file)
            QSKIP("this file system takes no direct writes");
        QByteArray data(size, Qt::Uninitialized);
        for (int i = 0; i < size; ++i)
            data[i] = static_cast<char>((i * 131) ^ (i >> 12));
        for (int at = 0; at < size; at += piece)
            QVERIFY(file->append(data.constData() + at, qMin(piece, size - at)));
        QVERIFY(file->finish());
        file.reset();
        QFile written(path);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.size(), qint64(size));
        QVERIFY(written.readAll() == data);
    }

    // A file that existed is emptied first, and dropping one half written leaves no thread behind.
    void replacesAndAbandons()
    {
        QTemporaryDir dir;
        const QString path = dir.path() + QStringLiteral("/streamed.bin");
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(10 * 1024 * 1024, 'o'));
        old.close();
        std::unique_ptr<StreamedFile> file = StreamedFile::create(path);
        if (!file)
            QSKIP("this file system takes no direct writes");
        QVERIFY(file->append("new", 3));
        QVERIFY(file->finish());
        QCOMPARE(QFileInfo(path).size(), qint64(3));

        file = StreamedFile::create(path);
        QVERIFY(file->append(QByteArray(5 * 1024 * 1024, 'x').constData(), 5 * 1024 * 1024));
        file.reset();
    }
};

QTEST_GUILESS_MAIN(TestStreamedFile)
#include "tst_streamedfile.moc"
