#include "basewidget.h"
#include "windowcontext.h"

#include <QMouseEvent>
#include <QtTest>

namespace
{

void send(QWidget *w, QEvent::Type type, Qt::MouseButton button, const QPoint &global)
{
    const Qt::MouseButtons held
        = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, w->mapFromGlobal(global), global, button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &event);
}

class NoDrag : public BaseWidget
{
public:
    bool canDrag(QMouseEvent *) override { return false; }
};

} // namespace

class TestBaseWidget : public QObject
{
    Q_OBJECT
private slots:
    void init() { context = std::make_unique<WindowContext>(); }
    void cleanup()
    {
        context.reset();
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    void frameless()
    {
        BaseWidget w;
        QVERIFY(w.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(w.windowFlags() & Qt::WindowMinimizeButtonHint);
        QVERIFY(w.testAttribute(Qt::WA_TranslucentBackground));
    }

    void dragging_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("releaseFirst");
        QTest::addColumn<QPoint>("moved");
        QTest::newRow("left press, move: follows") << int(Qt::LeftButton) << false << QPoint(70, 45);
        QTest::newRow("right press, move: stays") << int(Qt::RightButton) << false << QPoint();
        QTest::newRow("middle press, move: stays") << int(Qt::MiddleButton) << false << QPoint();
        QTest::newRow("left press, release, move: stays") << int(Qt::LeftButton) << true << QPoint();
    }
    void dragging()
    {
        QFETCH(int, button);
        QFETCH(bool, releaseFirst);
        QFETCH(QPoint, moved);
        BaseWidget w;
        w.resize(396, 206);
        w.move(100, 100);
        const auto b = Qt::MouseButton(button);
        send(&w, QEvent::MouseButtonPress, b, QPoint(150, 120));
        if (releaseFirst)
            send(&w, QEvent::MouseButtonRelease, b, QPoint(150, 120));
        send(&w, QEvent::MouseMove, releaseFirst ? Qt::NoButton : b, QPoint(150, 120) + QPoint(70, 45));
        QCOMPARE(w.pos(), QPoint(100, 100) + moved);
        // The drag ends with the release; later moves leave the window where it is.
        send(&w, QEvent::MouseButtonRelease, b, QPoint(220, 165));
        send(&w, QEvent::MouseMove, Qt::NoButton, QPoint(400, 400));
        QCOMPARE(w.pos(), QPoint(100, 100) + moved);
    }

    void dragFollowsEveryMove()
    {
        BaseWidget w;
        w.move(10, 10);
        send(&w, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(40, 20));
        send(&w, QEvent::MouseMove, Qt::LeftButton, QPoint(60, 25));
        send(&w, QEvent::MouseMove, Qt::LeftButton, QPoint(35, 5));
        QCOMPARE(w.pos(), QPoint(5, -5));
    }

    void windowMayRefuseDrag()
    {
        NoDrag w;
        w.move(100, 100);
        send(&w, QEvent::MouseButtonPress, Qt::LeftButton, QPoint(150, 120));
        send(&w, QEvent::MouseMove, Qt::LeftButton, QPoint(250, 220));
        QCOMPARE(w.pos(), QPoint(100, 100));
    }

    void shadowOutlines()
    {
        BaseWidget w;
        w.resize(396, 206);
        QImage image(w.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        w.render(&image);

        // Alpha of each pixel row or column counted from an edge, sampled at the middle of all
        // four edges: 0 outside, then 51, 80, 150 from the outside in, nothing inside.
        const int expected[] = { 0, 51, 80, 150, 0, 0 };
        const int wd = image.width(), ht = image.height();
        for (int d = 0; d < 6; ++d) {
            const QPoint samples[]
                = { { wd / 2, d }, { wd / 2, ht - 1 - d }, { d, ht / 2 }, { wd - 1 - d, ht / 2 } };
            for (const QPoint &at : samples) {
                const QRgb px = image.pixel(at);
                const QString where = QStringLiteral("(%1,%2)").arg(at.x()).arg(at.y());
                QVERIFY2(qAbs(qAlpha(px) - expected[d]) <= 6,
                    qPrintable(where + QStringLiteral(" alpha %1").arg(qAlpha(px))));
                if (expected[d] > 0) {
                    // Premultiplied grey 40 at that alpha.
                    QVERIFY2(qAbs(qRed(px) - 40 * qAlpha(px) / 255) <= 2, qPrintable(where));
                    QCOMPARE(qRed(px), qBlue(px));
                }
            }
        }
        QCOMPARE(qAlpha(image.pixel(wd / 2, ht / 2)), 0);
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
    }

private:
    std::unique_ptr<WindowContext> context;
};

QTEST_MAIN(TestBaseWidget)
#include "tst_basewidget.moc"
