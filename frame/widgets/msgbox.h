#pragma once

#include "basewidget.h"

#include <QEventLoop>
#include <QObject>

namespace Ui {
class MsgBox;
}

// The suite's one message box: dark, frameless, application-modal, waiting in its own loop.
class MsgBox : public BaseWidget
{
    Q_OBJECT
public:
    enum Type { Information = 1, Question = 2 };

    explicit MsgBox(int type, BaseWidget *parent = nullptr);
    ~MsgBox() override;

    void setMessage(const QString &text);
    void exec();
    int result() const;

private slots:
    void on_okBtn_clicked();
    void on_noBtn_clicked();
    void on_closeButton_clicked();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void answer(int value);

    Ui::MsgBox *ui;
    QEventLoop loop;
    int res = 0;
    bool answered = false;
    bool waiting = false;
};

class MsgTool : public QObject
{
    Q_OBJECT
public:
    // 0 after OK, 1 after Cancel or close. Unattended: the text goes to stderr, the answer is 0.
    static int showBox(int type, const QString &text);
    static int information(const QString &text);
    static int question(const QString &text);
};
