#include "msgbox.h"

// Placeholder until the message box form lands.
MsgBox::MsgBox(int, BaseWidget *parent)
    : BaseWidget(parent)
    , ui(nullptr)
{
}
MsgBox::~MsgBox() = default;
void MsgBox::setMessage(const QString &) {}
void MsgBox::exec() {}
int MsgBox::result() const { return res; }
void MsgBox::on_okBtn_clicked() {}
void MsgBox::on_noBtn_clicked() {}
void MsgBox::on_closeButton_clicked() {}
void MsgBox::closeEvent(QCloseEvent *) {}
void MsgBox::answer(int value) { res = value; }
int MsgTool::showBox(int, const QString &) { return 0; }
int MsgTool::information(const QString &text) { return showBox(MsgBox::Information, text); }
int MsgTool::question(const QString &text) { return showBox(MsgBox::Question, text); }
