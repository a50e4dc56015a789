#include "zipthread.h"

#include "zmtextract.h"

ZipThread::ZipThread(QObject *parent)
    : QThread(parent)
{
}

void ZipThread::setPaths(const QString &zipPath, const QString &destDir)
{
    this->zipPath = zipPath;
    this->destDir = destDir;
}

bool ZipThread::succeeded() const
{
    return ok.load();
}

void ZipThread::run()
{
    ok = false;
    // The notifier lives on this worker thread while the thread object belongs to the main thread,
    // so every forwarded oneOk() is queued and arrives there in order, ahead of finished().
    QObject notifier;
    connect(&notifier, &QObject::objectNameChanged, this, &ZipThread::oneOk);
    ok = !ZMTextractDir(zipPath, destDir, &notifier).isEmpty();
}
