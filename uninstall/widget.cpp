#include "widget.h"
#include "ui_widget.h"

#include "core/unattended.h"
#include "platform/paths.h"
#include "removal.h"
#include "survey.h"
#include "uninstallation.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QDebug>
#include <QFileInfo>
#include <QIcon>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QTextCursor>

namespace {

// The one channel with a confirmation background of its own.
const char channelWithBackground[] = "Nimbrosia";

} // namespace

Widget::Widget(BaseWidget *parent)
    : BaseWidget(parent)
    , ui(new Ui::Widget)
{
    ui->setupUi(this);
    resize(586, 386);
    ui->stackedWidget->setCurrentIndex(0);
    ui->uninstall_ok->hide();

    if (!isZh) {
        name = nameEN;
        ui->uninstall->setText(QStringLiteral("Uninstall"));
        ui->cancel->setText(QStringLiteral("Cancel"));
        ui->uninstall_commit->setText(QStringLiteral("Uninstall"));
        ui->uninstall_ok->setText(QStringLiteral("Finish"));
    }
    ui->title->setText(name);
    applyEditionLook();

    setUpSurvey();
}

Widget::~Widget()
{
    delete ui;
}

QString Widget::backgroundFor(const QString &third)
{
    if (third.isEmpty())
        return QStringLiteral(":/bg1.png");
    if (third.contains(QLatin1String(channelWithBackground)))
        return QStringLiteral(":/bg1_%1.png").arg(QLatin1String(channelWithBackground));
    return QStringLiteral(":/bg1_third.png");
}

void Widget::applyEditionLook()
{
    if (third.isEmpty())
        ui->label->setStyleSheet(QStringLiteral("border-image: url(:/logo.png)"));
    else
        ui->label->setPixmap(QIcon(Platform::nativePath(installDir + QStringLiteral("/VX.ico"))).pixmap(16, 16));

    const QPixmap background(backgroundFor(third));
    if (!background.isNull())
        ui->label_bg->setPixmap(
            background.scaled(ui->label_bg->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    ui->label_bg->setAlignment(Qt::AlignCenter);
}

void Widget::setUpSurvey()
{
    ui->uninstall_commit->setEnabled(false);

    reasonGroup = new QButtonGroup(this);
    reasonGroup->setExclusive(false);
    const QList<QCheckBox *> boxes{ui->check1, ui->check2, ui->check3, ui->check4, ui->checkOther};
    for (int i = 0; i < boxes.size(); ++i) {
        boxes.at(i)->setCheckable(true);
        reasonGroup->addButton(boxes.at(i), i + 1);
    }
    connect(reasonGroup, &QButtonGroup::idToggled, this, &Widget::checkToggle);

    reasonManager = new QNetworkAccessManager(this);
    connect(reasonManager, &QNetworkAccessManager::finished, this, &Widget::repllyFinished);

    // An unattended run asks nobody anything, so it needs no reasons either.
    if (!Unattended::isOn()) {
        const QString url = Survey::reasonListUrl(bs, third);
        qDebug() << url;
        reasonManager->get(QNetworkRequest(QUrl(url)));
    }

    ui->phone->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9a-zA-Z@.]+$")), ui->phone));
}

void Widget::on_uninstall_clicked()
{
    if (isZh && Survey::reports(third))
        ui->stackedWidget->setCurrentIndex(1);
    else
        on_uninstall_commit_clicked();
}

void Widget::on_uninstall_commit_clicked()
{
    // The removal runs once; the page stack is already on its way out after the first commit.
    if (isUninstalled || stackScheduled)
        return;
    stackScheduled = true;
    if (Survey::reports(third)) {
        QStringList ticked;
        for (int id = 1; id <= 5; ++id) {
            const QAbstractButton *box = reasonGroup->button(id);
            if (box->isChecked())
                ticked << box->toolTip();
        }
        const QJsonObject report = Survey::report(
            Survey::reportRows(ticked, ui->textEdit->toPlainText(), ui->phone->text()), third);
        qDebug() << report;
        QNetworkRequest request(QUrl(Survey::reportUrl(bs)));
        request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
        reasonManager->post(request, QJsonDocument(report).toJson(QJsonDocument::Compact));
    }
    ui->stackedWidget->deleteLater();
    doUninstall();
}

void Widget::on_uninstall_ok_clicked()
{
    close();
}

void Widget::on_minBtn_clicked()
{
    showMinimized();
}

void Widget::on_closeBtn_clicked()
{
    close();
}

void Widget::on_cancel_clicked()
{
    close();
}

void Widget::checkToggle(int idx, bool check)
{
    bool anyTicked = false;
    for (const QAbstractButton *box : reasonGroup->buttons())
        anyTicked = anyTicked || box->isChecked();
    ui->uninstall_commit->setEnabled(anyTicked);
    if (idx == 5 && !check)
        ui->textEdit->clear();
}

void Widget::repllyFinished(QNetworkReply *reply)
{
    qDebug() << reply->error() << reply->errorString();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    // Once the commit has sent the page stack away, a late reply has no boxes to fill.
    if (!stackScheduled && reply->error() == QNetworkReply::NoError && status >= 200 && status <= 299) {
        const QByteArray body = reply->readAll();
        qDebug() << QString::fromUtf8(body);
        const QList<Survey::Reason> reasons = Survey::offeredReasons(body);
        for (int i = 0; i < reasons.size(); ++i) {
            QAbstractButton *box = reasonGroup->button(i + 1);
            box->setText(reasons.at(i).text);
            box->setToolTip(QString::number(reasons.at(i).id));
        }
        ui->checkOther->setToolTip(QStringLiteral("-1"));
    }
    reply->deleteLater();
    // Only the first reply to finish is ever handled.
    disconnect(reasonManager, &QNetworkAccessManager::finished, this, &Widget::repllyFinished);
}

void Widget::on_textEdit_textChanged()
{
    QString text = ui->textEdit->toPlainText();
    if (text.size() > 100) {
        const int cursor = Survey::dropAtCursor(text, ui->textEdit->textCursor().position(), 100);
        {
            const QSignalBlocker quiet(ui->textEdit);
            ui->textEdit->setPlainText(text);
        }
        QTextCursor at = ui->textEdit->textCursor();
        at.setPosition(cursor);
        ui->textEdit->setTextCursor(at);
    }
    ui->checkOther->setChecked(!text.isEmpty());
}

void Widget::setProgress(int value)
{
    ui->progressBar->setValue(value);
    if (ui->progressBar->value() == ui->progressBar->maximum())
        ui->progressBar->hide();
}

void Widget::doUninstall()
{
    ui->minBtn->hide();
    ui->closeBtn->hide();
    product = Uninstallation::run(*this, recordName, [this](int value) { setProgress(value); });
    ui->uninstall_ok->show();
    ui->closeBtn->show();
    isUninstalled = true;
}

void Widget::startSelfRemoval()
{
    // A window can be asked to close more than once; one batch is enough.
    if (batchStarted)
        return;
    batchStarted = true;
    Uninstallation::startSelfRemoval(product);
}

void Widget::closeEvent(QCloseEvent *event)
{
    if (isUninstalled)
        startSelfRemoval();
    event->accept();
}
