#pragma once

#include "core/installcontext.h"

#include <QPoint>
#include <QStringList>
#include <QWidget>

class QMouseEvent;
class QPaintEvent;

// Every window of the suite: frameless, translucent, draggable, shadowed, and carrying the
// installation context.
class BaseWidget : public QWidget, public InstallContext
{
    Q_OBJECT
public:
    explicit BaseWidget(BaseWidget *parent = nullptr);
    ~BaseWidget() override;

    static bool existProcess(QString name);
    static void killProcess(const QString &name);
    void veryDel(const QString &path);

    static QString readReg(const QString &path, const QString &name);
    static QString maxInstallDir(int kind, const QString &releaseKey);
    static QStringList allMaxPath();

    QPoint dragOffset;

public slots:
    virtual bool canDrag(QMouseEvent *event);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
};
