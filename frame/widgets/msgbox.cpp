#include "msgbox.h"

#include "ui_msgbox.h"

#include "core/unattended.h"

#include <QCloseEvent>
#include <QPointer>

MsgBox::MsgBox(int type, BaseWidget *parent)
    : BaseWidget(parent)
    , ui(new Ui::MsgBox)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_ShowModal);
    // A message box closing must never end the program; the caller decides what comes next.
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowFlags(Qt::SubWindow | Qt::FramelessWindowHint);
    if (type == Information)
        ui->noBtn->hide();
    raise();
    show();
    if (!isZh) {
        ui->title->setText(QString());
        ui->okBtn->setText(QStringLiteral("OK"));
        ui->noBtn->setText(QStringLiteral("Cancel"));
    }
}

MsgBox::~MsgBox()
{
    loop.exit(0);
    delete ui;
}

void MsgBox::setMessage(const QString &text)
{
    ui->info->setText(text);
}

void MsgBox::exec()
{
    if (answered)
        return;
    waiting = true;
    loop.exec();
    waiting = false;
    // Posted only now, at the caller's level: a deletion posted from inside the box's own loop
    // could be carried out before exec() returns, and the caller still reads the result.
    deleteLater();
}

int MsgBox::result() const
{
    return res;
}

void MsgBox::on_okBtn_clicked()
{
    answer(0);
}

void MsgBox::on_noBtn_clicked()
{
    answer(1);
}

void MsgBox::on_closeButton_clicked()
{
    answer(1);
}

void MsgBox::closeEvent(QCloseEvent *event)
{
    // Alt+F4 or a close() from elsewhere: without this the box would hide while its caller waits.
    if (!answered)
        answer(1);
    event->accept();
}

void MsgBox::answer(int value)
{
    if (answered)
        return;
    answered = true;
    res = value;
    if (waiting)
        loop.exit(0);
    else
        deleteLater();
}

int MsgTool::showBox(int type, const QString &text)
{
    if (Unattended::isOn()) {
        Unattended::tell(text);
        return 0;
    }
    QPointer<MsgBox> box = new MsgBox(type);
    box->setMessage(text);
    box->exec();
    return box ? box->result() : 1;
}

int MsgTool::information(const QString &text)
{
    return showBox(MsgBox::Information, text);
}

int MsgTool::question(const QString &text)
{
    return showBox(MsgBox::Question, text);
}
