#pragma once

#include "basewidget.h"

#include <QNetworkReply>
#include <QPointer>

class QNetworkAccessManager;
class ZipThread;

namespace Ui {
class Widget;
}

// The installer window; it also carries the installation from extraction to registration.
class Widget : public BaseWidget
{
    Q_OBJECT
public:
    explicit Widget(BaseWidget *parent = nullptr);
    ~Widget() override;

    void reinstallInto(QString folder);
    void setProgress(int value);

    // Options an unattended run sets instead of the check boxes.
    void setOptions(bool startMenu, bool autoRun);

    QString version;

signals:
    // The installation ended: 0 done, otherwise the unattended exit code of the failure.
    void installationEnded(int code);

public slots:
    void on_install_clicked();
    void on_para_clicked();
    void on_minBtn_clicked();
    void on_closeBtn_clicked();
    void on_browse_clicked();
    void zipOver();
    void oneOk();

public:
    // The channel report still under way, for an unattended run to wait on.
    QNetworkReply *pendingReport() const { return report; }

private:
    void startInstallation();
    void completeInstallation();
    void failInstallation(const QString &zh, const QString &en);
    void sendChannelReport();
    bool companionInstalled() const;

    Ui::Widget *ui;
    ZipThread *zipThread = nullptr;
    QNetworkAccessManager *network = nullptr;
    QPointer<QNetworkReply> report;
};
