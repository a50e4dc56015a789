#include "core/unattended.h"
#include "msgbox.h"
#include "windowcontext.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLayout>
#include <QPointer>
#include <QPushButton>
#include <QWindow>
#include <QtTest>

#include <cstdio>
#include <functional>
#include <unistd.h>

namespace
{

// Waits for the modal box to come up, records what it shows, then acts on it; the way a user
// would answer while the caller blocks in the box's loop.
class Answerer : public QObject
{
public:
    enum Action { Ok, Cancel, CloseButton, Close, WindowSystemClose };

    explicit Answerer(Action action)
        : action(action)
    {
        connect(&timer, &QTimer::timeout, this, &Answerer::tick);
        timer.start(10);
        // A box that ignores the action would leave the caller waiting for ever; answer OK
        // then, so the test fails on the result instead of hanging.
        rescue.setSingleShot(true);
        connect(&rescue, &QTimer::timeout, this, [this] {
            if (box && QMetaObject::invokeMethod(box, "on_okBtn_clicked"))
                rescued = true;
        });
    }

    QPointer<QWidget> box;
    QString title, okText, noText;
    bool noVisible = true;
    QSize size;
    bool rescued = false;

private:
    void tick()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        timer.stop();
        box = modal;
        title = modal->findChild<QLabel *>(QStringLiteral("title"))->text();
        auto *ok = modal->findChild<QPushButton *>(QStringLiteral("okBtn"));
        auto *no = modal->findChild<QPushButton *>(QStringLiteral("noBtn"));
        okText = ok->text();
        noText = no->text();
        noVisible = no->isVisible();
        size = modal->size();
        rescue.start(10000);
        switch (action) {
        case Ok:
            QTest::mouseClick(ok, Qt::LeftButton);
            break;
        case Cancel:
            QTest::mouseClick(no, Qt::LeftButton);
            break;
        case CloseButton:
            QTest::mouseClick(modal->findChild<QPushButton *>(QStringLiteral("closeButton")), Qt::LeftButton);
            break;
        case Close:
            modal->close();
            break;
        case WindowSystemClose: {
            // What Alt+F4 delivers: a close event on the native window, not on the widget.
            QCloseEvent event;
            QCoreApplication::sendEvent(modal->windowHandle(), &event);
            break;
        }
        }
    }

    Action action;
    QTimer timer;
    QTimer rescue;
};

// Captures what the process writes to stderr while it lives.
class StderrCapture
{
public:
    StderrCapture()
    {
        std::fflush(stderr);
        saved = dup(STDERR_FILENO);
        file.open();
        dup2(file.handle(), STDERR_FILENO);
    }
    ~StderrCapture() { restore(); }
    QByteArray text()
    {
        restore();
        file.seek(0);
        return file.readAll();
    }

private:
    void restore()
    {
        if (saved < 0)
            return;
        std::fflush(stderr);
        dup2(saved, STDERR_FILENO);
        close(saved);
        saved = -1;
    }
    QTemporaryFile file;
    int saved = -1;
};

} // namespace

class TestMsgBox : public QObject
{
    Q_OBJECT
private slots:
    void init() { context = std::make_unique<WindowContext>(); }
    void cleanup()
    {
        Unattended::setOn(false);
        // Answered boxes wait for the next pass of an event loop to be deleted.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        context.reset();
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    // Called straight from the test body: no event loop runs yet, as at a program's start-up.
    void answers_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("action");
        QTest::addColumn<int>("result");
        QTest::addColumn<bool>("cancelShown");
        QTest::newRow("question, OK") << 2 << int(Answerer::Ok) << 0 << true;
        QTest::newRow("question, Cancel") << 2 << int(Answerer::Cancel) << 1 << true;
        QTest::newRow("question, close button") << 2 << int(Answerer::CloseButton) << 1 << true;
        QTest::newRow("question, close()") << 2 << int(Answerer::Close) << 1 << true;
        QTest::newRow("question, window-system close") << 2 << int(Answerer::WindowSystemClose) << 1 << true;
        QTest::newRow("information, OK") << 1 << int(Answerer::Ok) << 0 << false;
        QTest::newRow("information, close button") << 1 << int(Answerer::CloseButton) << 1 << false;
        QTest::newRow("information, window-system close")
            << 1 << int(Answerer::WindowSystemClose) << 1 << false;
        QTest::newRow("other type shows both") << 7 << int(Answerer::Cancel) << 1 << true;
    }
    void answers()
    {
        QFETCH(int, type);
        QFETCH(int, action);
        QFETCH(int, result);
        QFETCH(bool, cancelShown);
        Answerer answerer { Answerer::Action(action) };
        const int got = type == 1 ? MsgTool::information(QStringLiteral("正在运行"))
            : type == 2           ? MsgTool::question(QStringLiteral("是否重新安装？"))
                                  : MsgTool::showBox(type, QStringLiteral("x"));
        QVERIFY(!answerer.rescued);
        QCOMPARE(got, result);
        QCOMPARE(answerer.noVisible, cancelShown);
        QCOMPARE(answerer.size, QSize(396, 206));
        // Answered but not yet deleted: that waits for an event loop.
        QVERIFY(answerer.box);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!answerer.box);
    }

    void texts_data()
    {
        QTest::addColumn<bool>("chinese");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("ok");
        QTest::addColumn<QString>("cancel");
        QTest::newRow("Chinese") << true << QStringLiteral("提示") << QStringLiteral("确定")
                                 << QStringLiteral("取消");
        QTest::newRow("English") << false << QString() << QStringLiteral("OK") << QStringLiteral("Cancel");
    }
    void texts()
    {
        QFETCH(bool, chinese);
        QFETCH(QString, title);
        QFETCH(QString, ok);
        QFETCH(QString, cancel);
        context.reset(); // one context at a time: each one resets the program folder when it goes
        context = std::make_unique<WindowContext>(chinese);
        Answerer answerer(Answerer::Ok);
        MsgTool::question(QStringLiteral("Reinstall?"));
        QCOMPARE(answerer.title, title);
        QCOMPARE(answerer.okText, ok);
        QCOMPARE(answerer.noText, cancel);
    }

    void boxAsBuilt()
    {
        MsgBox box(MsgBox::Information);
        QVERIFY(box.isVisible());
        QVERIFY(box.isWindow());
        QCOMPARE(box.windowModality(), Qt::ApplicationModal);
        QCOMPARE(box.windowFlags() & (Qt::SubWindow | Qt::FramelessWindowHint),
            Qt::WindowFlags(Qt::SubWindow | Qt::FramelessWindowHint));
        QCOMPARE(box.windowTitle(), QStringLiteral("Form"));
        QCOMPARE(box.result(), 0);
        auto *close = box.findChild<QPushButton *>(QStringLiteral("closeButton"));
        QVERIFY(close);
        QCOMPARE(close->size(), QSize(28, 28));
        QVERIFY(close->text().isEmpty());
        QCOMPARE(close->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(box.findChild<QWidget *>(QStringLiteral("widget_2"))->height(), 40);
        QCOMPARE(box.findChild<QWidget *>(QStringLiteral("widget"))->geometry(), QRect(3, 3, 390, 200));
        // The close button's picture is compiled in.
        QVERIFY(!QPixmap(QStringLiteral(":/close.png")).isNull());
    }

    void longMessageWrapsInsideTheBox_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("English words")
            << QStringLiteral("The installation folder could not be prepared because another program holds "
                              "files in it. Close every program that uses the client and try again; if the "
                              "problem stays, restart the computer first.");
        QTest::newRow("Chinese without spaces")
            << QString(QStringLiteral("检测到客户端正在运行，请先关闭后再继续安装。").repeated(4));
    }
    void longMessageWrapsInsideTheBox()
    {
        QFETCH(QString, text);
        MsgBox box(MsgBox::Question);
        box.setMessage(text);
        box.layout()->activate();
        auto *info = box.findChild<QLabel *>(QStringLiteral("info"));
        QCOMPARE(info->text(), text);
        QVERIFY(info->wordWrap());
        QCOMPARE(box.size(), QSize(396, 206));
        QCOMPARE(box.maximumSize(), QSize(396, 206));
        QVERIFY(box.sizeHint().width() <= 396);
        // Wrapped: several lines, none wider than the body between its 20-pixel margins.
        QVERIFY(info->width() <= 390 - 40);
        QVERIFY(info->heightForWidth(info->width()) >= 2 * info->fontMetrics().height());
    }

    // From a slot while an event loop runs, as the installer's window asks during installation.
    void insideRunningLoop()
    {
        QEventLoop outer;
        Answerer answerer(Answerer::Cancel);
        int got = -1;
        bool aliveAfterAnswer = false;
        QTimer::singleShot(0, [&] {
            got = MsgTool::question(QStringLiteral("Reinstall?"));
            aliveAfterAnswer = !answerer.box.isNull();
            QTimer::singleShot(0, &outer, &QEventLoop::quit);
        });
        outer.exec();
        QCOMPARE(got, 1);
        QVERIFY(aliveAfterAnswer);
        QVERIFY(!answerer.box); // deleted by the loop that called
    }

    // Two boxes one after the other: the second is not answered by the first's leftovers.
    void boxesInSequence()
    {
        {
            Answerer first(Answerer::Cancel);
            QCOMPARE(MsgTool::question(QStringLiteral("one")), 1);
        }
        Answerer second(Answerer::Ok);
        QCOMPARE(MsgTool::question(QStringLiteral("two")), 0);
        QVERIFY(second.box);
    }

    void unattendedAnswersOkOnStderr()
    {
        Unattended::setOn(true);
        StderrCapture capture;
        const int question = MsgTool::question(QStringLiteral("Reinstall over 3.0.1?"));
        const int information = MsgTool::information(QStringLiteral("3ds Max is running"));
        const QByteArray err = capture.text();
        QCOMPARE(question, 0);
        QCOMPARE(information, 0);
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
        QVERIFY(err.contains("Reinstall over 3.0.1?"));
        QVERIFY(err.contains("3ds Max is running"));
    }

private:
    std::unique_ptr<WindowContext> context;
};

QTEST_MAIN(TestMsgBox)
#include "tst_msgbox.moc"
