#pragma once

#include <QThread>

#include <atomic>

// Unpacks the payload off the main thread. The window hears one queued oneOk() per archive entry,
// in archive order, and finished() after the last of them.
class ZipThread : public QThread
{
    Q_OBJECT
public:
    explicit ZipThread(QObject *parent = nullptr);
    void setPaths(const QString &zipPath, const QString &destDir);
    bool succeeded() const; // true when the routine returned a non-empty list (read after finished())

signals:
    void oneOk();

protected:
    void run() override;

private:
    QString zipPath;
    QString destDir;
    std::atomic<bool> ok { false };
};
