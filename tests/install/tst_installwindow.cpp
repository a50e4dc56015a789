#include "fakehttp.h"
#include "installerfolder.h"
#include "msgbox.h"
#include "platform/paths.h"
#include "testroot.h"
#include "widget.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

using namespace TestSupport;

Q_DECLARE_METATYPE(Edition)

// The installer window in this process, on a packed installer folder.
class TestInstallWindow : public QObject
{
    Q_OBJECT
private:
    struct Setup
    {
        MachineRoot root;
        FakeHttp service;
        QTemporaryDir installer;
        QTemporaryDir logs;
        QString log() const { return logs.path() + QStringLiteral("/starts.log"); }
    };

    std::unique_ptr<Setup> prepare(const Edition &e)
    {
        auto s = std::make_unique<Setup>();
        makeInstallerFolder(s->installer.path(), e, s->service.base());
        qputenv("VX_STANDIN_LOG", s->log().toLocal8Bit());
        InstallContext::overrideProgramDir(s->installer.path());
        BaseWidget context;
        context.initLanguage();
        return s;
    }

    template <typename T>
    static T *child(QWidget &w, const char *name)
    {
        return w.findChild<T *>(QLatin1String(name));
    }

    static bool installAndWait(Widget &w)
    {
        QSignalSpy ended(&w, &Widget::installationEnded);
        w.on_install_clicked();
        return ended.wait(60000) && ended.first().first().toInt() == 0;
    }

private slots:
    void cleanup()
    {
        InstallContext::overrideProgramDir(QString());
        qunsetenv("VX_STANDIN_LOG");
        QVERIFY(QApplication::topLevelWidgets().isEmpty() || !QApplication::activeModalWidget());
    }

    void englishTextsAndOptionsPanel()
    {
        Edition e;
        e.lang = QStringLiteral("en_us");
        auto s = prepare(e);
        Widget w;
        QCOMPARE(child<QLabel>(w, "title")->text(), e.nameEN);
        QCOMPARE(child<QPushButton>(w, "install")->text(), QStringLiteral("Install"));
        QCOMPARE(child<QPushButton>(w, "para")->text(), QStringLiteral("Custom"));
        QCOMPARE(child<QPushButton>(w, "browse")->text(), QStringLiteral("Browse"));
        QCOMPARE(child<QCheckBox>(w, "startMenu")->text(), QStringLiteral("Add to start menu"));
        QCOMPARE(child<QCheckBox>(w, "autoRun")->text(), QStringLiteral("Auto-start-system"));
        QCOMPARE(child<QLineEdit>(w, "path")->text(),
                 s->root.path() + QStringLiteral("/Program Files\\Vantrix"));
        QVERIFY(child<QLineEdit>(w, "path")->isReadOnly());
        QCOMPARE(w.version, QStringLiteral("3.0.1"));

        QCOMPARE(w.height(), 386);
        QPushButton *para = child<QPushButton>(w, "para");
        para->click();
        QCOMPARE(w.height(), 516);
        QVERIFY(para->styleSheet().contains(QLatin1String(":/up.png")));
        para->click();
        QCOMPARE(w.height(), 386);
        QVERIFY(para->styleSheet().contains(QLatin1String(":/down.png")));
        QVERIFY(!para->styleSheet().contains(QLatin1String("up.png")));
    }

    void completion_data()
    {
        QTest::addColumn<Edition>("edition");
        QTest::addColumn<bool>("companionRecorded");
        QTest::addColumn<QString>("buttonText");
        QTest::addColumn<bool>("companionOffered");
        Edition standard;
        Edition english;
        english.lang = QStringLiteral("en_us");
        Edition partner;
        partner.third = QStringLiteral("Nimbrosia");
        Edition corvanta;
        corvanta.third = QStringLiteral("Corvanta");
        QTest::newRow("standard, Chinese") << standard << false << QString("开启" + standard.name) << true;
        QTest::newRow("standard, Chinese, companion there") << standard << true << QString("开启" + standard.name) << true;
        QTest::newRow("standard, English") << english << false << QString("Finish") << false;
        QTest::newRow("partner") << partner << false << QString("开启" + partner.name) << false;
        QTest::newRow("Corvanta") << corvanta << false << QString("开启" + corvanta.name) << false;
    }
    void completion()
    {
        QFETCH(Edition, edition);
        QFETCH(bool, companionRecorded);
        QFETCH(QString, buttonText);
        QFETCH(bool, companionOffered);
        auto s = prepare(edition);
        if (companionRecorded) {
            auto hkcu = hive(s->root.path(), QStringLiteral("HKEY_CURRENT_USER"));
            hkcu->setValue(QStringLiteral("Software/Norvale/vantrixtools/Settings/InstallDir"), QString());
        }
        auto *w = new Widget;
        w->setAttribute(Qt::WA_DeleteOnClose);
        w->show();
        QVERIFY(installAndWait(*w));
        QPushButton *install = child<QPushButton>(*w, "install");
        QCOMPARE(install->text(), buttonText);
        QVERIFY(install->isVisible());
        QVERIFY(child<QPushButton>(*w, "closeBtn")->isVisible());
        QVERIFY(!child<QPushButton>(*w, "minBtn")->isVisible());
        QVERIFY(!child<QProgressBar>(*w, "progressBar")->isVisible());
        QCOMPARE(child<QCheckBox>(*w, "installMO")->isVisible(), companionOffered);

        const QString client = w->installDir + QLatin1Char('\\') + InstallContext::exe;
        QPointer<Widget> guard(w);
        install->click();
        QTRY_VERIFY(guard.isNull());
        QStringList expected{Platform::nativePath(client)};
        if (companionOffered && !companionRecorded)
            expected << s->installer.path() + QStringLiteral("/MOsetup.exe\t/sp-\t/silent");
        // A started program writes its line in its own time; a loaded machine took longer than the
        // default five seconds.
        QTRY_COMPARE_WITH_TIMEOUT(
            QString::fromLocal8Bit(readFile(s->log())).split(QLatin1Char('\n'), Qt::SkipEmptyParts).size(),
            expected.size(), 20000);
        QStringList got = QString::fromLocal8Bit(readFile(s->log())).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        got.sort();
        expected.sort();
        QCOMPARE(got, expected);
    }

    void closeAtCompletionStartsNothing()
    {
        auto s = prepare(Edition());
        auto *w = new Widget;
        w->setAttribute(Qt::WA_DeleteOnClose);
        w->show();
        QVERIFY(installAndWait(*w));
        QPointer<Widget> guard(w);
        child<QPushButton>(*w, "closeBtn")->click();
        QTRY_VERIFY(guard.isNull());
        QTest::qWait(300);
        QVERIFY(!QFileInfo::exists(s->log()));
    }
};

QTEST_MAIN(TestInstallWindow)
#include "tst_installwindow.moc"
