// The uninstaller window in this process: form, survey against a loopback service, removal and
// the self-removal batch.
#include "fakesurvey.h"
#include "installation.h"
#include "widget.h"

#include <QCheckBox>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkAccessManager>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTextEdit>
#include <QtTest>

using namespace TestSupport;

namespace {

// No other test's process carries this name, so the client check ends nothing of theirs.
const char testExe[] = "VxWindowTest.exe";

Edition edition(const QString &third = QString(), const QString &lang = QStringLiteral("zh_cn"))
{
    Edition e;
    e.exe = QLatin1String(testExe);
    e.third = third;
    e.lang = lang;
    if (third == QLatin1String("Nimbrosia"))
        e.name = QStringLiteral("云图");
    return e;
}

// Types text as a keyboard would, any script included (QTest::keyClicks takes ASCII only).
void typeText(QWidget *target, const QString &text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

} // namespace

class TestUninstallWindow : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<MachineRoot> root;
    std::unique_ptr<FakeSurvey> survey;
    std::unique_ptr<Widget> window;
    Installation inst;

    // Opens the window as the uninstaller started from the installation directory would.
    Widget *open(const Edition &e, const QString &recordedDir = QString())
    {
        inst = layOut(e, survey->base());
        if (!recordedDir.isEmpty())
            writeRecord(inst, recordedDir);
        InstallContext::overrideProgramDir(inst.version);
        InstallContext::isZh = InstallContext::isChinese(e.lang);
        window = std::make_unique<Widget>();
        window->show();
        return window.get();
    }
    template<typename T>
    T *child(const char *name) const
    {
        T *found = window->findChild<T *>(QLatin1String(name));
        if (!found)
            qWarning() << "no" << name;
        return found;
    }
    void waitForReasons()
    {
        auto *manager = window->findChild<QNetworkAccessManager *>();
        QSignalSpy done(manager, &QNetworkAccessManager::finished);
        QVERIFY(done.wait(10000));
    }
    QString batchFile() const { return root->path() + QStringLiteral("/ClearZMT.bat"); }

private slots:
    void init()
    {
        root = std::make_unique<MachineRoot>();
        Platform::machineRoot();   // seeded before the fixtures write registry files of their own
        survey = std::make_unique<FakeSurvey>();
        InstallContext::third.clear();
        InstallContext::exe.clear();
    }
    void cleanup()
    {
        window.reset();
        InstallContext::overrideProgramDir(QString());
        InstallContext::isZh = true;
        survey.reset();
        root.reset();
    }

    void form_data()
    {
        QTest::addColumn<QString>("object");
        QTest::addColumn<QString>("className");
        QTest::addColumn<QRect>("geometry");
        QTest::newRow("widget_2") << "widget_2" << "QWidget" << QRect(3, 3, 580, 380);
        QTest::newRow("label") << "label" << "QLabel" << QRect(5, 10, 16, 16);
        QTest::newRow("title") << "title" << "QLabel" << QRect(25, 10, 181, 16);
        QTest::newRow("minBtn") << "minBtn" << "QPushButton" << QRect(520, 0, 28, 28);
        QTest::newRow("closeBtn") << "closeBtn" << "QPushButton" << QRect(550, 0, 28, 28);
        QTest::newRow("stackedWidget") << "stackedWidget" << "QStackedWidget" << QRect(0, 40, 580, 321);
        QTest::newRow("label_bg") << "label_bg" << "QLabel" << QRect(135, 20, 308, 154);
        QTest::newRow("uninstall") << "uninstall" << "QPushButton" << QRect(135, 200, 140, 40);
        QTest::newRow("cancel") << "cancel" << "QPushButton" << QRect(300, 200, 140, 40);
        QTest::newRow("widget") << "widget" << "QWidget" << QRect(90, 0, 401, 261);
        QTest::newRow("label_2") << "label_2" << "QLabel" << QRect(10, 10, 171, 21);
        QTest::newRow("check1") << "check1" << "QCheckBox" << QRect(10, 40, 161, 16);
        QTest::newRow("check2") << "check2" << "QCheckBox" << QRect(180, 40, 161, 16);
        QTest::newRow("check3") << "check3" << "QCheckBox" << QRect(10, 70, 161, 16);
        QTest::newRow("check4") << "check4" << "QCheckBox" << QRect(180, 70, 161, 16);
        QTest::newRow("checkOther") << "checkOther" << "QCheckBox" << QRect(10, 100, 71, 16);
        QTest::newRow("textEdit") << "textEdit" << "QTextEdit" << QRect(10, 120, 340, 50);
        QTest::newRow("label_3") << "label_3" << "QLabel" << QRect(10, 180, 201, 21);
        QTest::newRow("phone") << "phone" << "QLineEdit" << QRect(10, 210, 340, 30);
        QTest::newRow("uninstall_commit") << "uninstall_commit" << "QPushButton" << QRect(410, 280, 140, 40);
        QTest::newRow("label_bg_2") << "label_bg_2" << "QLabel" << QRect(130, 90, 306, 138);
        QTest::newRow("progressBar") << "progressBar" << "QProgressBar" << QRect(130, 250, 310, 10);
        QTest::newRow("uninstall_ok") << "uninstall_ok" << "QPushButton" << QRect(130, 290, 310, 40);
    }
    void form()
    {
        QFETCH(QString, object);
        QFETCH(QString, className);
        QFETCH(QRect, geometry);
        open(edition());
        QWidget *w = window->findChild<QWidget *>(object);
        QVERIFY(w);
        QCOMPARE(QString::fromLatin1(w->metaObject()->className()), className);
        QCOMPARE(w->geometry(), geometry);
        if (auto *button = qobject_cast<QPushButton *>(w))
            QCOMPARE(button->cursor().shape(), Qt::PointingHandCursor);
    }

    void windowAndStacking()
    {
        open(edition());
        QCOMPARE(window->size(), QSize(586, 386));
        QCOMPARE(window->windowTitle(), QStringLiteral("Widget"));
        QStringList order;   // bottom to top
        for (QObject *o : child<QWidget>("widget_2")->children())
            if (o->isWidgetType())
                order << o->objectName();
        QCOMPARE(order, (QStringList{"progressBar", "uninstall_ok", "title", "label", "minBtn", "closeBtn",
                                     "label_bg_2", "stackedWidget"}));
        QCOMPARE(child<QLineEdit>("phone")->maxLength(), 30);
        QCOMPARE(child<QLineEdit>("phone")->placeholderText(), QStringLiteral("电话/邮箱/QQ"));
        QVERIFY(!child<QProgressBar>("progressBar")->isTextVisible());
    }

    void texts_data()
    {
        QTest::addColumn<QString>("lang");
        QTest::addColumn<QStringList>("texts");   // title, uninstall, cancel, commit, ok
        QTest::newRow("Chinese") << "zh_cn" << QStringList{"渲染客户端", "卸载", "取消", "确定卸载", "卸载完成"};
        QTest::newRow("English") << "en_us" << QStringList{"Render Client", "Uninstall", "Cancel", "Uninstall", "Finish"};
        QTest::newRow("code in capitals is Chinese") << "EN_US" << QStringList{"渲染客户端", "卸载", "取消", "确定卸载", "卸载完成"};
    }
    void texts()
    {
        QFETCH(QString, lang);
        QFETCH(QStringList, texts);
        open(edition(QString(), lang));
        QCOMPARE(child<QLabel>("title")->text(), texts.at(0));
        QCOMPARE(child<QPushButton>("uninstall")->text(), texts.at(1));
        QCOMPARE(child<QPushButton>("cancel")->text(), texts.at(2));
        QCOMPARE(child<QPushButton>("uninstall_commit")->text(), texts.at(3));
        QCOMPARE(child<QPushButton>("uninstall_ok")->text(), texts.at(4));
        QVERIFY(child<QPushButton>("uninstall_ok")->isHidden());
        QCOMPARE(child<QStackedWidget>("stackedWidget")->currentIndex(), 0);
        QCOMPARE(child<QCheckBox>("check1")->text(), QStringLiteral("无"));
        QCOMPARE(child<QCheckBox>("checkOther")->text(), QStringLiteral("其他"));
    }

    void editionLook_data()
    {
        QTest::addColumn<QString>("third");
        QTest::addColumn<QString>("background");
        QTest::newRow("standard") << "" << ":/bg1.png";
        QTest::newRow("Corvanta") << "Corvanta" << ":/bg1_third.png";
        QTest::newRow("partner") << "Skyhaus" << ":/bg1_third.png";
        QTest::newRow("channel with its own") << "Nimbrosia" << ":/bg1_Nimbrosia.png";
        QTest::newRow("channel mark inside the name") << "NimbrosiaPro" << ":/bg1_Nimbrosia.png";
        QTest::newRow("mark compared with case") << "nimbrosia" << ":/bg1_third.png";
    }
    void editionLook()
    {
        QFETCH(QString, third);
        QFETCH(QString, background);
        QCOMPARE(Widget::backgroundFor(third), background);
        open(edition(third));
        QCOMPARE(child<QLabel>("label")->styleSheet().contains(QStringLiteral(":/logo.png")), third.isEmpty());
    }

    void reasonListRequest_data()
    {
        QTest::addColumn<QString>("third");
        QTest::addColumn<QString>("lang");
        QTest::addColumn<QByteArray>("target");
        QTest::newRow("standard") << "" << "zh_cn" << QByteArray("/cms/uninstallReason/getPresentByType?type=2");
        QTest::newRow("standard, English") << "" << "en_us" << QByteArray("/cms/uninstallReason/getPresentByType?type=2");
        QTest::newRow("Corvanta") << "Corvanta" << "zh_cn" << QByteArray("/cms/uninstallReason/getPresentByType?type=1");
        QTest::newRow("partner") << "Nimbrosia" << "zh_cn" << QByteArray("/cms/uninstallReason/getPresentByType?type=");
    }
    void reasonListRequest()
    {
        QFETCH(QString, third);
        QFETCH(QString, lang);
        QFETCH(QByteArray, target);
        open(edition(third, lang));
        QTRY_COMPARE(survey->requestsOf("GET").size(), 1);
        QCOMPARE(survey->requests.at(0).target, target);
    }

    void surveyPageOnlyForChineseReportingEditions_data()
    {
        QTest::addColumn<QString>("third");
        QTest::addColumn<QString>("lang");
        QTest::addColumn<bool>("surveyed");
        QTest::newRow("standard") << "" << "zh_cn" << true;
        QTest::newRow("Corvanta") << "Corvanta" << "zh_cn" << true;
        QTest::newRow("standard, English") << "" << "en_us" << false;
        QTest::newRow("partner") << "Nimbrosia" << "zh_cn" << false;
    }
    void surveyPageOnlyForChineseReportingEditions()
    {
        QFETCH(QString, third);
        QFETCH(QString, lang);
        QFETCH(bool, surveyed);
        open(edition(third, lang));
        QTest::mouseClick(child<QPushButton>("uninstall"), Qt::LeftButton);
        QCOMPARE(window->uninstalled(), !surveyed);
        if (surveyed)
            QCOMPARE(child<QStackedWidget>("stackedWidget")->currentIndex(), 1);
    }

    void reasonsFillBoxes_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QStringList>("texts");   // check1..check4
        QTest::addColumn<QStringList>("tips");    // check1..check4, checkOther
        QTest::newRow("orders 5, 1, 3") << 200
            << QByteArray(R"({"rows":[{"id":5,"order":5,"reason":"贵"},{"id":1,"order":1,"reason":"慢"},{"id":3,"order":3,"reason":"难用"}]})")
            << QStringList{"慢", "难用", "贵", "无"} << QStringList{"1", "3", "5", "", "-1"};
        QTest::newRow("same order twice keeps the later") << 200
            << QByteArray(R"({"rows":[{"id":1,"order":1,"reason":"旧"},{"id":2,"order":1,"reason":"新"}]})")
            << QStringList{"新", "无", "无", "无"} << QStringList{"2", "", "", "", "-1"};
        QTest::newRow("six rows, four shown") << 200
            << QByteArray(R"({"rows":[{"id":16,"order":6,"reason":"f"},{"id":15,"order":5,"reason":"e"},{"id":14,"order":4,"reason":"d"},{"id":13,"order":3,"reason":"c"},{"id":12,"order":2,"reason":"b"},{"id":11,"order":1,"reason":"a"}]})")
            << QStringList{"a", "b", "c", "d"} << QStringList{"11", "12", "13", "14", "-1"};
        QTest::newRow("body not JSON still enables the free text") << 200 << QByteArray("oops")
            << QStringList{"无", "无", "无", "无"} << QStringList{"", "", "", "", "-1"};
        QTest::newRow("server error changes nothing") << 500
            << QByteArray(R"({"rows":[{"id":1,"order":1,"reason":"a"}]})")
            << QStringList{"无", "无", "无", "无"} << QStringList{"", "", "", "", ""};
    }
    void reasonsFillBoxes()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(QStringList, texts);
        QFETCH(QStringList, tips);
        survey->reasonStatus = status;
        survey->reasonBody = body;
        open(edition());
        waitForReasons();
        const char *const names[] = {"check1", "check2", "check3", "check4", "checkOther"};
        for (int i = 0; i < 5; ++i) {
            if (i < 4)
                QCOMPARE(child<QCheckBox>(names[i])->text(), texts.at(i));
            QCOMPARE(child<QCheckBox>(names[i])->toolTip(), tips.at(i));
        }
    }

    void commitFollowsTicks()
    {
        open(edition());
        auto *commit = child<QPushButton>("uninstall_commit");
        QTest::mouseClick(child<QPushButton>("uninstall"), Qt::LeftButton);
        QVERIFY(!commit->isEnabled());
        child<QCheckBox>("check2")->click();
        QVERIFY(commit->isEnabled());
        child<QCheckBox>("check4")->click();
        child<QCheckBox>("check2")->click();
        QVERIFY(commit->isEnabled());
        child<QCheckBox>("check4")->click();
        QVERIFY(!commit->isEnabled());
        QTest::mouseClick(commit, Qt::LeftButton);   // disabled: nothing happens
        QVERIFY(!window->uninstalled());
    }

    void freeTextAndOther()
    {
        open(edition());
        auto *other = child<QCheckBox>("checkOther");
        auto *text = child<QTextEdit>("textEdit");
        typeText(text, QStringLiteral("ab"));
        QVERIFY(other->isChecked());
        QTest::keyClick(text, Qt::Key_Backspace);
        QTest::keyClick(text, Qt::Key_Backspace);
        QVERIFY(!other->isChecked());
        QVERIFY(!child<QPushButton>("uninstall_commit")->isEnabled());
        typeText(text, QStringLiteral("cd"));
        other->click();
        QVERIFY(text->toPlainText().isEmpty());
        QVERIFY(!other->isChecked());
    }

    void hundredFirstCharacterIsDropped_data()
    {
        QTest::addColumn<int>("cursor");
        QTest::newRow("start") << 0;
        QTest::newRow("middle") << 40;
        QTest::newRow("end") << 100;
    }
    void hundredFirstCharacterIsDropped()
    {
        QFETCH(int, cursor);
        open(edition());
        auto *text = child<QTextEdit>("textEdit");
        QString full;
        for (int i = 0; i < 100; ++i)
            full += QChar(QLatin1Char('a' + i % 26));
        text->setPlainText(full);
        QTextCursor at = text->textCursor();
        at.setPosition(cursor);
        text->setTextCursor(at);
        typeText(text, QStringLiteral("字"));
        QCOMPARE(text->toPlainText(), full);
        QCOMPARE(text->textCursor().position(), cursor);
    }

    void contactField_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::newRow("mail address") << "li.lei@mail.cn" << "li.lei@mail.cn";
        QTest::newRow("plus") << "+8613800" << "8613800";
        QTest::newRow("minus") << "138-00" << "13800";
        QTest::newRow("underscore") << "li_lei" << "lilei";
        QTest::newRow("blank") << "li lei" << "lilei";
        QTest::newRow("non-ASCII letters") << "李lei" << "lei";
        QTest::newRow("accented letter") << "café" << "caf";
        QTest::newRow("thirty at most") << QString(35, QLatin1Char('7')) << QString(30, QLatin1Char('7'));
    }
    void contactField()
    {
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        open(edition());
        auto *phone = child<QLineEdit>("phone");
        typeText(phone, typed);
        QCOMPARE(phone->text(), kept);
    }

    void reportOfReasonsAndNote_data()
    {
        QTest::addColumn<QString>("third");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("report");
        QTest::newRow("standard") << "" << 200
            << QByteArray(R"({"rows":[{"id":7},{"contact":"qq@1.cn","id":0,"other":"太贵了"}],"type":2})");
        QTest::newRow("Corvanta") << "Corvanta" << 200
            << QByteArray(R"({"rows":[{"id":7},{"contact":"qq@1.cn","id":0,"other":"太贵了"}],"type":1})");
        QTest::newRow("no reason list: ids 0, no note") << "" << 503
            << QByteArray(R"({"rows":[{"id":0},{"id":0}],"type":2})");
    }
    void reportOfReasonsAndNote()
    {
        QFETCH(QString, third);
        QFETCH(int, status);
        QFETCH(QByteArray, report);
        survey->reasonStatus = status;
        survey->reasonBody = R"({"rows":[{"id":4,"order":1,"reason":"a"},{"id":5,"order":2,"reason":"b"},{"id":7,"order":3,"reason":"c"}]})";
        open(edition(third));
        waitForReasons();
        QTest::mouseClick(child<QPushButton>("uninstall"), Qt::LeftButton);
        child<QCheckBox>("check3")->click();
        typeText(child<QTextEdit>("textEdit"), QStringLiteral("太贵了"));
        typeText(child<QLineEdit>("phone"), QStringLiteral("qq@1.cn"));
        QTest::mouseClick(child<QPushButton>("uninstall_commit"), Qt::LeftButton);
        QVERIFY(window->uninstalled());
        QTRY_COMPARE(survey->requestsOf("POST").size(), 1);
        const SurveyRequest post = survey->requestsOf("POST").at(0);
        QCOMPARE(post.target, QByteArray("/cms/uninstallReason/getUserUninstallReasonByType"));
        QCOMPARE(post.contentType, QByteArray("application/json"));
        QCOMPARE(post.body, report);
    }

    void englishPostsEmptyReport()
    {
        open(edition(QString(), QStringLiteral("en_us")));
        QTest::mouseClick(child<QPushButton>("uninstall"), Qt::LeftButton);
        QVERIFY(window->uninstalled());
        QTRY_COMPARE(survey->requestsOf("POST").size(), 1);
        QCOMPARE(survey->requestsOf("POST").at(0).body, QByteArray(R"({"rows":[],"type":2})"));
        // English shortcut names went too.
        for (const QString &s : inst.shortcuts)
            QVERIFY2(!QFileInfo(s).isSymLink(), qPrintable(s));
    }

    void partnerPostsNothing()
    {
        open(edition(QStringLiteral("Nimbrosia")));
        QTRY_COMPARE(survey->requestsOf("GET").size(), 1);
        QTest::mouseClick(child<QPushButton>("uninstall"), Qt::LeftButton);
        QVERIFY(window->uninstalled());
        QTest::qWait(300);
        QCOMPARE(survey->requests.size(), 1);
        for (const QString &s : inst.shortcuts)   // Start-menu folder named after the display name
            QVERIFY2(!QFileInfo(s).isSymLink(), qPrintable(s));
    }

    void closingBeforeRemovalKeepsEverything_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("toSurvey");
        QTest::newRow("cancel") << "cancel" << false;
        QTest::newRow("close on the confirmation page") << "closeBtn" << false;
        QTest::newRow("close on the survey page") << "closeBtn" << true;
    }
    void closingBeforeRemovalKeepsEverything()
    {
        QFETCH(QString, button);
        QFETCH(bool, toSurvey);
        open(edition());
        if (toSurvey)
            QTest::mouseClick(child<QPushButton>("uninstall"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(button.toLatin1().constData()), Qt::LeftButton);
        QVERIFY(!window->isVisible());
        QVERIFY(!QFileInfo::exists(batchFile()));
        for (const QString &f : inst.clientFiles)
            QVERIFY(QFileInfo::exists(f));
        QVERIFY(registryHasGroup(root->path(), "HKEY_LOCAL_MACHINE",
                                 "Software/Microsoft/Windows/CurrentVersion/Uninstall/VantrixZMT"));
    }

    void removalAndBatch()
    {
        const QString max2012 = seedMax(root->path(), "3dsMax", "14.0\\MAX-1:804", "3ds Max 2012");
        const QString max2014 = seedMax(root->path(), "3dsMax", "16.0", "3ds Max 2014");
        const QString sketch17 = seedSketchUp("SketchUp 2017");
        const QString sketch19 = seedSketchUp("SketchUp 2019");
        open(edition());
        QTest::mouseClick(child<QPushButton>("uninstall"), Qt::LeftButton);
        child<QCheckBox>("check1")->click();
        QTest::mouseClick(child<QPushButton>("uninstall_commit"), Qt::LeftButton);

        QVERIFY(window->uninstalled());
        QVERIFY(child<QProgressBar>("progressBar")->isHidden());
        QCOMPARE(child<QProgressBar>("progressBar")->value(), 100);
        QVERIFY(child<QPushButton>("minBtn")->isHidden());
        QVERIFY(!child<QPushButton>("closeBtn")->isHidden());
        QVERIFY(!child<QPushButton>("uninstall_ok")->isHidden());
        QTRY_VERIFY(!window->findChild<QStackedWidget *>());

        QVERIFY(!QFileInfo::exists(inst.version));
        QVERIFY(QFileInfo::exists(inst.neighbour));
        for (const QString &s : inst.shortcuts)
            QVERIFY2(!QFileInfo(s).isSymLink(), qPrintable(s));
        QVERIFY(QFileInfo::exists(QFileInfo(inst.shortcuts.at(0)).path() + "/Other.lnk"));
        QVERIFY(!QFileInfo::exists(max2012 + "/o_vantrixMenu.ms"));
        QVERIFY(QFileInfo::exists(max2012 + "/vantrixMenu.ms"));
        QVERIFY(!QFileInfo::exists(max2014 + "/vantrixMenu.ms"));
        QVERIFY(QFileInfo::exists(max2014 + "/o_vantrixMenu.ms"));
        for (const QString &plugins : {sketch17, sketch19}) {
            QVERIFY(!QFileInfo::exists(plugins + "/Vantrix_ZMT.rb"));
            QVERIFY(!QFileInfo::exists(plugins + "/Vantrix_ZMT"));
            QVERIFY(QFileInfo::exists(plugins + "/other_plugin.rb"));
        }
        const QString r = root->path();
        QVERIFY(!registryHasGroup(r, "HKEY_LOCAL_MACHINE", "Software/Microsoft/Windows/CurrentVersion/Uninstall/VantrixZMT"));
        QVERIFY(registryHasGroup(r, "HKEY_LOCAL_MACHINE", "Software/Microsoft/Windows/CurrentVersion/Uninstall/OtherProduct"));
        QVERIFY(!registryValue(r, "HKEY_LOCAL_MACHINE", QStringLiteral("Software/Microsoft/Windows/CurrentVersion/Run/") + testExe).isValid());
        QVERIFY(registryValue(r, "HKEY_LOCAL_MACHINE", "Software/Microsoft/Windows/CurrentVersion/Run/OtherApp.exe").isValid());
        QVERIFY(!registryHasGroup(r, "HKEY_CURRENT_USER", "Software/Norvale/VantrixZMT"));
        QVERIFY(registryHasGroup(r, "HKEY_CURRENT_USER", "Software/Norvale/OtherClient"));

        QVERIFY(!QFileInfo::exists(batchFile()));
        QTest::mouseClick(child<QPushButton>("uninstall_ok"), Qt::LeftButton);
        QVERIFY(!window->isVisible());
        QString product = inst.product;
        QCOMPARE(readFile(batchFile()), "ping -n 1 127.0.0.1>nul\r\nrd \"" + product.replace('/', '\\').toLocal8Bit()
                                            + "\" /s /q\r\ndel %0");
    }

    void foreignInstallDirIsLeftAlone_data()
    {
        QTest::addColumn<QString>("recorded");   // "<root>" and "<user>" are replaced
        QTest::newRow("user profile") << "<user>";
        QTest::newRow("user's documents") << "<user>/Documents";
        QTest::newRow("machine root") << "<root>";
        QTest::newRow("Program Files") << "<root>/Program Files";
        QTest::newRow("outside any product folder") << "<root>/Data/3.0.1.12345";
        QTest::newRow("the product folder itself") << "<root>/Program Files/Vantrix/VantrixZMT";
        QTest::newRow("another edition's product folder") << "<root>/Program Files/Vantrix/Vantrix for Unity/3.0.1.12345";
        QTest::newRow("climbing out with dot-dot") << "<root>\\Program Files\\Vantrix\\VantrixZMT\\3.0.1.12345\\..\\..";
    }
    void foreignInstallDirIsLeftAlone()
    {
        QFETCH(QString, recorded);
        const QString user = QFileInfo(Platform::desktopDir()).path();
        recorded.replace(QStringLiteral("<root>"), root->path()).replace(QStringLiteral("<user>"), user);
        const QString target = QDir::cleanPath(Platform::nativePath(recorded));
        writeFile(target + "/sentinel.txt", "mine");
        writeFile(target + "/deep/er/file.txt", "mine");
        open(edition(), recorded);
        window->doUninstall();
        QVERIFY(window->productFolder().isEmpty());
        window->close();
        QVERIFY(QFileInfo::exists(target + "/sentinel.txt"));
        QVERIFY(QFileInfo::exists(target + "/deep/er/file.txt"));
        QVERIFY(QFileInfo::exists(inst.neighbour));
        QVERIFY(!QFileInfo::exists(batchFile()));
        // The registration is still taken away: the record is what named the wrong folder.
        QVERIFY(!registryHasGroup(root->path(), "HKEY_LOCAL_MACHINE",
                                  "Software/Microsoft/Windows/CurrentVersion/Uninstall/VantrixZMT"));
        for (const QString &s : inst.shortcuts)
            QVERIFY2(!QFileInfo(s).isSymLink(), qPrintable(s));
    }
};

QTEST_MAIN(TestUninstallWindow)
#include "tst_uninstallwindow.moc"
