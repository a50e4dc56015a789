#include "widget.h"

#include "core/shortcutnames.h"

#include "core/serviceconfig.h"
#include "filesync.h"
#include "platform/launcher.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "ui_widget.h"
#include "updateglobals.h"
#include "updatework.h"

#include <QDebug>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QPixmap>
#include <QPointer>
#include <QThread>

namespace {

QList<QPointer<QThread>> &retiredThreads()
{
    static QList<QPointer<QThread>> threads;
    return threads;
}

QString tr2(const char *zh, const char *en)
{
    return InstallContext::isZh ? QString::fromUtf8(zh) : QString::fromUtf8(en);
}

const QString clientExe = QStringLiteral("VantrixZMT.exe");

} // namespace

Widget::Widget(BaseWidget *parent)
    : BaseWidget(parent)
    , ui(new Ui::Widget)
{
    ui->setupUi(this);
    if (!isZh) {
        name = nameEN;
        ui->update->setText(QStringLiteral("Update"));
        ui->ut->setText(QStringLiteral("Updates"));
    }
    ui->title->setText(name);
    if (!third.isEmpty()) {
        const QPixmap logo(Platform::nativePath(installDir + QStringLiteral("/VX.ico")));
        if (!logo.isNull())
            ui->label->setPixmap(logo.scaled(16, 16, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    } else {
        ui->label->setStyleSheet(QStringLiteral("border-image: url(:/logo.png)"));
    }
    installDir.replace(QLatin1Char('/'), QLatin1Char('\\'));
    installRoot = installDir;
    clientDir = installDir;
    downloadRoot = installDir;
    qDebug() << "installRoot" << installRoot;
    on_update_clicked();
}

Widget::~Widget()
{
    retireWorker();
    delete ui;
}

QString Widget::errorText(int err)
{
    switch (err) {
    case -1:
        return tr2("获取更新文件列表失败！", "File list error!");
    case -2:
        return tr2("下载文件失败！", "File download error!");
    case -3:
        return tr2("重命名文件失败！", "Rename file error!");
    default:
        return QString();
    }
}

bool Widget::waitForWorkers(int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    QList<QPointer<QThread>> &threads = retiredThreads();
    for (const QPointer<QThread> &thread : qAsConst(threads)) {
        if (thread && !thread->wait(deadline))
            return false;
    }
    for (const QPointer<QThread> &thread : qAsConst(threads))
        delete thread.data();
    threads.clear();
    return true;
}

void Widget::on_minBtn_clicked()
{
    showMinimized();
}

void Widget::on_closeBtn_clicked()
{
    close();
}

void Widget::on_update_clicked()
{
    ui->update->setText(tr2("更新中", "Updating"));
    ui->update->setEnabled(false);
    ui->minBtn->hide();
    ui->closeBtn->hide();
    ui->err->clear();

    if (workThread) {
        // Only after a successful attempt: the button reads "Finish".
        Platform::openDetached(clientDir + QLatin1Char('\\') + exe);
        close();
        return;
    }
    workThread = new QThread;
    worker = new UpdateWork(ServiceConfig::load(appDir));
    connect(worker, &UpdateWork::content, this, &Widget::content);
    connect(worker, &UpdateWork::error, this, &Widget::error);
    connect(worker, &UpdateWork::pro, this, &Widget::pro);
    worker->moveToThread(workThread);
    workThread->start();
    QMetaObject::invokeMethod(worker, "start", Qt::AutoConnection, Q_ARG(bool, !isZh), Q_ARG(QString, third));
}

void Widget::error(int err)
{
    const QString message = errorText(err);
    ui->err->setText(message + tr2("请重试！", "Please retry!"));
    retireWorker();
    ui->update->setText(tr2("更新", "Update"));
    ui->update->setEnabled(true);
    ui->closeBtn->show();
    emit updateFailed(err, message);
}

void Widget::pro(int pro)
{
    ui->progressBar->setValue(pro);
    if (pro == 100)
        registerUpdate();
}

void Widget::content(QString note)
{
    ui->textEdit->setText(note);
}

void Widget::retireWorker()
{
    if (!workThread)
        return;
    // Never waits: the thread ends on its own and takes the worker with it.
    worker->deleteLater();
    QThread *thread = workThread;
    retiredThreads() << QPointer<QThread>(thread);
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->requestInterruption();
    thread->quit();
    workThread = nullptr;
    worker = nullptr;
}

bool Widget::renameClient()
{
    const QString source = clientDir + QLatin1Char('\\') + clientExe;
    const QString target = clientDir + QLatin1Char('\\') + exe;
    if (source == target)
        return true;
    // The installation already holds the edition's executable, so the fresh client replaces it;
    // without a fresh one the installed executable is kept as it is.
    if (QFileInfo(Platform::nativePath(source)).isFile())
        return FileSync::swapIn(source, target);
    return !exe.isEmpty() && QFileInfo(Platform::nativePath(target)).isFile();
}

void Widget::registerUpdate()
{
    if (!renameClient()) {
        error(-3);
        return;
    }
    const QString client = clientDir + QLatin1Char('\\') + exe;
    const QString uninstaller = clientDir + QStringLiteral("\\uninstall.exe");

    uninstallReg->beginGroup(registryName());
    uninstallReg->setValue(QStringLiteral("UninstallString"), uninstaller);
    uninstallReg->setValue(QStringLiteral("installDir"), clientDir);
    uninstallReg->setValue(QStringLiteral("DisplayVersion"), requestedVersion);
    uninstallReg->setValue(QStringLiteral("DisplayIcon"), client);
    uninstallReg->endGroup();
    Platform::flushRegistry(*uninstallReg);
    settingsReg->setValue(QStringLiteral("InstallDir"), clientDir);
    Platform::flushRegistry(*settingsReg);

    const QString startName = ShortcutNames::fileName(ShortcutNames::startPrefix(isZh), name);
    const QString uninstallName = ShortcutNames::fileName(ShortcutNames::uninstallPrefix(isZh), name);
    const QString desktopName = ShortcutNames::fileName(QString(), name);
    const QString programs = programsPath();
    if (!name.isEmpty()) {
        const QString old = programs + QLatin1Char('/') + name;
        veryDel(old + QLatin1Char('/') + startName);
        veryDel(old + QLatin1Char('/') + uninstallName);
        const QDir oldDir(Platform::nativePath(old));
        if (oldDir.exists() && oldDir.isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System))
            veryDel(old);
    }
    const QString folder = ShortcutNames::folderName(third, name);
    const QString shortcuts = programs + QLatin1Char('/') + folder;
    if (!name.isEmpty()) {
        veryDel(shortcuts + QLatin1Char('/') + startName);
        veryDel(shortcuts + QLatin1Char('/') + uninstallName);
        veryDel(desktopPath() + QLatin1Char('/') + desktopName);
    }
    QDir().mkdir(Platform::nativePath(shortcuts));
    Platform::createShortcut(client, shortcuts + QLatin1Char('/') + startName);
    Platform::createShortcut(uninstaller, shortcuts + QLatin1Char('/') + uninstallName);
    Platform::createShortcut(client, desktopPath() + QLatin1Char('/') + desktopName);

    Platform::grantEveryoneFullAccess(QFileInfo(Platform::nativePath(clientDir)).absoluteFilePath());

    ui->update->setText(tr2("完成", "Finish"));
    ui->update->setEnabled(true);
    ui->closeBtn->show();
    emit updateFinished();
}
