#include "basewidget.h"

#include "core/fileops.h"
#include "core/maxdiscovery.h"
#include "core/procutil.h"

#include <QMouseEvent>
#include <QPainter>
#include <QtMath>

BaseWidget::BaseWidget(BaseWidget *parent)
    : QWidget(parent)
{
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint);
    setAttribute(Qt::WA_TranslucentBackground);
}

BaseWidget::~BaseWidget() = default;

bool BaseWidget::existProcess(QString name)
{
    return ProcUtil::existProcess(std::move(name));
}

void BaseWidget::killProcess(const QString &name)
{
    ProcUtil::killProcess(name);
}

void BaseWidget::veryDel(const QString &path)
{
    FileOps::remove(path, FileOps::Traced);
}

QString BaseWidget::readReg(const QString &path, const QString &name)
{
    return MaxDiscovery::readReg(path, name);
}

QString BaseWidget::maxInstallDir(int kind, const QString &releaseKey)
{
    return MaxDiscovery::maxInstallDir(kind, releaseKey);
}

QStringList BaseWidget::allMaxPath()
{
    return MaxDiscovery::allMaxPath();
}

bool BaseWidget::canDrag(QMouseEvent *)
{
    return true;
}

void BaseWidget::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && canDrag(event))
        dragOffset = event->globalPos() - pos();
    QWidget::mousePressEvent(event);
}

void BaseWidget::mouseMoveEvent(QMouseEvent *event)
{
    // Only x is looked at: a press on the very left column does not start a drag.
    if (dragOffset.x() != 0)
        move(event->globalPos() - dragOffset);
    QWidget::mouseMoveEvent(event);
}

void BaseWidget::mouseReleaseEvent(QMouseEvent *)
{
    dragOffset = QPoint(0, 0);
}

void BaseWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor color(40, 40, 40);
    for (int i = 0; i < 3; ++i) {
        const int inset = 3 - i;
        color.setAlpha(static_cast<int>(150 - qSqrt(i) * 70));
        painter.setPen(QPen(color, 1));
        painter.setBrush(Qt::NoBrush);
        // Centred on pixel rows and columns: on whole coordinates an antialiased 1-pixel line
        // smears over two pixels at half strength, and the three outlines run into each other.
        const QRectF outline(inset + 0.5, inset + 0.5, width() - 2 * inset - 1, height() - 2 * inset - 1);
        painter.drawRoundedRect(outline, 1, 1, Qt::RelativeSize);
    }
}
