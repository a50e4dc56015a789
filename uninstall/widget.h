#pragma once

#include "basewidget.h"

#include <QString>

class QButtonGroup;
class QCloseEvent;
class QNetworkAccessManager;
class QNetworkReply;

namespace Ui {
class Widget;
}

// The uninstaller's window: confirmation, reason survey, removal and the finish view.
class Widget : public BaseWidget
{
    Q_OBJECT
public:
    explicit Widget(BaseWidget *parent = nullptr);
    ~Widget() override;
    Q_DISABLE_COPY(Widget)

    void doUninstall();
    void setProgress(int value);
    bool uninstalled() const { return isUninstalled; }
    // The product folder the batch will remove; empty when the installation directory failed the
    // check and nothing of it may be deleted.
    QString productFolder() const { return product; }

    // The picture behind the confirmation page for an edition.
    static QString backgroundFor(const QString &third);

public slots:
    void on_uninstall_clicked();
    void on_uninstall_commit_clicked();
    void on_uninstall_ok_clicked();
    void on_minBtn_clicked();
    void on_closeBtn_clicked();
    void on_cancel_clicked();
    void checkToggle(int idx, bool check);
    void repllyFinished(QNetworkReply *reply);
    void on_textEdit_textChanged();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void applyEditionLook();
    void setUpSurvey();
    void startSelfRemoval();

    Ui::Widget *ui;
    QNetworkAccessManager *reasonManager = nullptr;
    QButtonGroup *reasonGroup = nullptr;
    bool isUninstalled = false;
    bool stackScheduled = false;
    bool batchStarted = false;
    QString product;
};
