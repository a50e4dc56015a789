#pragma once

#include "basewidget.h"

#include <QString>

class QThread;
class UpdateWork;

namespace Ui {
class Widget;
}

// The updater's window: starts an attempt while it is built, shows note, progress and errors,
// offers a retry, registers the update at 100 and then starts the client on the last click.
class Widget final : public BaseWidget
{
    Q_OBJECT
public:
    explicit Widget(BaseWidget *parent = nullptr);
    ~Widget() override;
    Q_DISABLE_COPY(Widget)

    QThread *workerThread() const { return workThread; }
    UpdateWork *currentWorker() const { return worker; }

    // The error message for a code without the retry text; empty for unknown codes.
    static QString errorText(int err);

    // Worker threads told to end are left to finish on their own; the process waits for them
    // here before it ends. False when one of them is still running after timeoutMs.
    static bool waitForWorkers(int timeoutMs);

signals:
    // The finished state was reached (the registration is done).
    void updateFinished();
    // An attempt failed; message is the text shown without the retry text.
    void updateFailed(int err, const QString &message);

public slots:
    void on_minBtn_clicked();
    void on_closeBtn_clicked();
    void on_update_clicked();
    void error(int err);
    void pro(int pro);
    void content(QString note);

private:
    void registerUpdate();
    bool renameClient();
    void retireWorker();

    Ui::Widget *ui;
    QThread *workThread = nullptr;
    UpdateWork *worker = nullptr;
    QString clientDir;
};
