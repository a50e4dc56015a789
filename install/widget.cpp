#include "widget.h"

#include "core/serviceconfig.h"
#include "core/unattended.h"
#include "core/xfunc.h"
#include "installrules.h"
#include "msgbox.h"
#include "platform/launcher.h"
#include "platform/paths.h"
#include "registration.h"
#include "ui_widget.h"
#include "zipthread.h"

#include <QDebug>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPixmap>
#include <QTime>

#include <cstdlib>

namespace {

// Entries extracted so far, across the whole run.
int extractedEntries = 0;

const char *const kBackgroundMark = "Nimbrosia";

} // namespace

Widget::Widget(BaseWidget *parent)
    : BaseWidget(parent)
    , ui(new Ui::Widget)
{
    ui->setupUi(this);

    version = InstallRules::readVersion(QDir::currentPath(), appDir);
    if (version.isEmpty()) {
        qDebug() << "no version file";
        if (Unattended::isOn()) {
            Unattended::tell(QStringLiteral("The installer is incomplete: its \"version\" file is missing."));
            std::exit(Unattended::Failed);
        }
        std::exit(0);
    }

    if (!isZh) {
        name = nameEN;
        ui->install->setText(QStringLiteral("Install"));
        ui->para->setText(QStringLiteral("Custom"));
        ui->browse->setText(QStringLiteral("Browse"));
        ui->startMenu->setText(QStringLiteral("Add to start menu"));
        ui->autoRun->setText(QStringLiteral("Auto-start-system"));
    }
    ui->title->setText(name);

    QString background;
    if (third.isEmpty()) {
        background = QStringLiteral(":/bg.png");
        ui->label->setStyleSheet(QStringLiteral("border-image: url(:/logo.png)"));
    } else {
        ui->label->setPixmap(QPixmap(appDir + QStringLiteral("/VX.ico")).scaled(16, 16));
        background = third.contains(QLatin1String(kBackgroundMark))
                         ? QStringLiteral(":/bg_%1.png").arg(QLatin1String(kBackgroundMark))
                         : QStringLiteral(":/bg_third.png");
    }
    ui->label_bg->setPixmap(QPixmap(background).scaled(ui->label_bg->size(), Qt::KeepAspectRatio,
                                                       Qt::SmoothTransformation));
    ui->label_bg->setAlignment(Qt::AlignCenter);

    ui->widget_2->setFixedHeight(380);
    setFixedHeight(386);
    ui->path->setReadOnly(true);

    installDir = InstallRules::defaultFolder(Platform::programFilesDir(), third);
    ui->path->setText(installDir);

    ui->startMenu->setChecked(true);
    ui->autoRun->setChecked(true);
    ui->installMO->setChecked(true);
    ui->installMO->hide();
    qDebug() << installDir;
    ui->progressBar->hide();
}

Widget::~Widget()
{
    if (zipThread && zipThread->isRunning())
        zipThread->wait();
    delete ui;
}

void Widget::setOptions(bool startMenu, bool autoRun)
{
    ui->startMenu->setChecked(startMenu);
    ui->autoRun->setChecked(autoRun);
}

void Widget::reinstallInto(QString folder)
{
    if (folder.isEmpty())
        return;
    folder.replace(QLatin1Char('/'), QLatin1Char('\\'));
    installDir = folder;
    on_install_clicked();
}

void Widget::setProgress(int value)
{
    if (value >= ui->progressBar->minimum() && value <= ui->progressBar->maximum())
        ui->progressBar->setValue(value);
    if (ui->progressBar->value() == ui->progressBar->maximum())
        ui->progressBar->hide();
}

void Widget::oneOk()
{
    ++extractedEntries;
    setProgress(extractedEntries / 3);
}

void Widget::on_install_clicked()
{
    ui->minBtn->hide();
    ui->closeBtn->hide();
    if (ui->progressBar->value() != ui->progressBar->maximum()) {
        startInstallation();
        return;
    }
    Platform::openDetached(installDir + QLatin1Char('\\') + exe);
    if (ui->installMO->isChecked() && !companionInstalled())
        Platform::startDetached(appDir + QStringLiteral("\\MOsetup.exe"),
                                {QStringLiteral("/sp-"), QStringLiteral("/silent")});
    close();
}

void Widget::startInstallation()
{
    ui->progressBar->show();
    ui->install->hide();
    ui->para->hide();
    ui->widget_2->setFixedHeight(380);
    setFixedHeight(386);

    const QString archive = appDir + QStringLiteral("/files.zip");
    qDebug() << "exist zip" << QFileInfo::exists(archive);

    zipThread = new ZipThread;
    connect(zipThread, &QThread::finished, this, &Widget::zipOver);
    connect(zipThread, &ZipThread::oneOk, this, &Widget::oneOk);

    installDir = InstallRules::installationDir(installDir, third, version, QTime::currentTime());
    zipThread->setPaths(archive, installDir);
    zipThread->start(QThread::InheritPriority);
    setProgress(10);
}

void Widget::failInstallation(const QString &zh, const QString &en)
{
    // The version folder is this run's own and holds no usable client; the product folder goes
    // too when nothing else is in it, but never the folder the user chose.
    const QString versionFolder = Platform::nativePath(installDir);
    QDir(versionFolder).removeRecursively();
    QDir().rmdir(QFileInfo(versionFolder).absolutePath());
    MsgTool::information(isZh ? zh : en);
    emit installationEnded(Unattended::Failed);
    if (!Unattended::isOn())
        std::exit(0);
}

void Widget::zipOver()
{
    if (!zipThread->succeeded()) {
        failInstallation(QStringLiteral("安装文件解压失败，请重新下载安装包！"),
                         QStringLiteral("The installation files could not be extracted. Please download the installer again."));
        return;
    }
    setProgress(40);
    Registration::copyRuntimeFiles(appDir, installDir);
    Registration::prepareDataFolder(appDir, registryName());
    if (!Registration::renameClient(installDir, exe)) {
        failInstallation(QStringLiteral("重命名失败"), QStringLiteral("Rename file error"));
        return;
    }
    Registration::copyIcon(appDir, installDir);
    setProgress(50);

    Registration::Input in;
    in.displayName = name;
    in.nameEN = nameEN;
    in.mark = mark;
    in.lang = lang;
    in.edition = third;
    in.exe = exe;
    in.installDir = installDir;
    in.version = version;
    in.zh = isZh;
    in.startMenu = ui->startMenu->isChecked();
    in.autoRun = ui->autoRun->isChecked();
    in.productUrl = ServiceConfig::load(appDir).productUrl;

    Registration::replaceShortcuts(in, programsPath(), desktopPath());
    setProgress(60);
    setProgress(70);
    if (in.autoRun)
        Registration::writeRunEntry(*runReg, in);
    Registration::writeUninstallEntry(*uninstallReg, registryName(), in);
    Registration::writeSettings(*settingsReg, in);
    Registration::grantAccess(installDir);
    Registration::removeOtherClientFiles();
    setProgress(100);
    sendChannelReport();
    completeInstallation();
}

void Widget::sendChannelReport()
{
    MachineInfo info;
    XFunc::machineInfo(info);
    network = new QNetworkAccessManager(this);
    const QUrl url = Registration::channelReportUrl(ServiceConfig::load(appDir).channelHost, mark,
                                                    XFunc::macAddress(), info.cpu);
    report = network->post(QNetworkRequest(url), QByteArray());
    qDebug() << "qD" << url;
}

void Widget::completeInstallation()
{
    ui->install->show();
    ui->install->setText(isZh ? QStringLiteral("开启%1").arg(name) : QStringLiteral("Finish"));
    ui->closeBtn->show();
    if (third.isEmpty() && isZh) {
        ui->installMO->show();
    } else {
        ui->installMO->setChecked(false);
    }
    emit installationEnded(Unattended::Done);
}

bool Widget::companionInstalled() const
{
    return makerReg->contains(QStringLiteral("vantrixtools/Settings/InstallDir"));
}

void Widget::on_para_clicked()
{
    QString style = ui->para->styleSheet();
    if (height() >= 500) {
        ui->widget_2->setFixedHeight(380);
        setFixedHeight(386);
        style.replace(QLatin1String("up.png"), QLatin1String("down.png"));
    } else {
        ui->widget_2->setFixedHeight(510);
        setFixedHeight(516);
        style.replace(QLatin1String("down.png"), QLatin1String("up.png"));
    }
    ui->para->setStyleSheet(style);
}

void Widget::on_minBtn_clicked()
{
    showMinimized();
}

void Widget::on_closeBtn_clicked()
{
    close();
}

void Widget::on_browse_clicked()
{
    const QString answer = QFileDialog::getExistingDirectory(
        this, isZh ? QStringLiteral("选择安装目录") : QStringLiteral("Choose install dir"),
        QStringLiteral("/home"), QFileDialog::ShowDirsOnly);
    qDebug() << "getExistingDirectory:" << answer;
    if (answer.isEmpty())
        return;
    ui->path->setText(QString(answer).replace(QLatin1Char('/'), QLatin1Char('\\')));
    installDir = ui->path->text();
    ui->path->repaint();
    ui->path->setCursorPosition(0);
}
