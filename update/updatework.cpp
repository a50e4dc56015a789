#include "updatework.h"

#include "filesync.h"
#include "manifest.h"
#include "streamedfile.h"
#include "platform/paths.h"
#include "updateglobals.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSet>
#include <QThread>
#include <QUrl>

Q_LOGGING_CATEGORY(updateNet, "update.net")

namespace {

// Bounds what a download holds in memory: data goes to disk as it arrives, and the socket is not
// read further while this much waits. 1 MiB keeps a 1 GiB download near curl's speed.
constexpr qint64 replyBuffer = 1024 * 1024;

// Qt's HTTP stack spends most of a small file's time on its own bookkeeping (it reads response
// headers a byte at a time); a few requests in flight keep both it and the disk busy.
constexpr int parallelDownloads = 4;

// Downloads from this size on are written past the file cache (see StreamedFile). Smaller ones
// keep the usual writing: a thread and 8 MiB of buffers per file do not pay for a few megabytes.
constexpr qint64 streamedFrom = 32 * 1024 * 1024;

QNetworkRequest requestFor(const QUrl &url, int stallSeconds)
{
    QNetworkRequest request(url);
    // A server that stops sending must not hold the run forever; the window then offers a retry.
    request.setTransferTimeout(stallSeconds * 1000);
    return request;
}

QString localKey(const QString &composed)
{
    return QDir::cleanPath(Platform::nativePath(composed));
}

} // namespace

struct UpdateWork::Download
{
    int item = -1;
    QNetworkReply *reply = nullptr;
    QFile file;
    std::unique_ptr<StreamedFile> streamed; // instead of file, for a large download
    FileSync::Sha1 sha;
    bool writeFailed = false;
};

UpdateWork::UpdateWork(const ServiceConfig &config, QObject *parent)
    : QObject(parent)
    , config(config)
{
}

UpdateWork::~UpdateWork()
{
    if (reply) {
        reply->disconnect(this);
        reply->abort();
    }
    for (const std::unique_ptr<Download> &d : active) {
        d->reply->disconnect(this);
        d->reply->abort();
    }
    active.clear();
    delete manager;
}

void UpdateWork::start(bool isEn, QString third)
{
    if (manager)
        return;
    const QString url = Manifest::manifestUrl(config, isEn, third, requestedVersion);
    qCDebug(updateNet) << url;
    manager = new QNetworkAccessManager;
    manager->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
    reply = manager->get(requestFor(QUrl(url, QUrl::TolerantMode), config.stallTimeoutSeconds));
    QNetworkReply *sent = reply;
    connect(
        sent, &QNetworkReply::finished, this, [this, sent, third] { manifestArrived(sent, third); },
        Qt::DirectConnection);
}

void UpdateWork::manifestArrived(QNetworkReply *arrived, const QString &third)
{
    reply = nullptr;
    arrived->deleteLater();
    if (arrived->error() != QNetworkReply::NoError) {
        qCDebug(updateNet) << "manifest:" << arrived->errorString();
        fail(-1);
        return;
    }
    emit pro(10);
    const Manifest::Result manifest =
        Manifest::parse(arrived->readAll(), requestedVersion, third, installRoot, downloadRoot);
    if (!manifest.wellFormed) {
        qCDebug(updateNet) << "manifest is no XML";
        fail(-1);
        return;
    }
    qCDebug(updateNet) << "version" << manifest.version;
    remote = manifest.items;
    streamUrl = manifest.streamUrl;
    for (const QString &note : manifest.notes)
        emit content(note);
    if (!manifest.unsafe.isEmpty()) {
        // Checked before anything is fetched or written: the run touches no file then.
        qCWarning(updateNet) << "entries outside the installation:" << manifest.unsafe;
        fail(-1);
        return;
    }
    checkFile();
}

void UpdateWork::checkFile()
{
    emit pro(20);
    if (remote.files.isEmpty()) {
        fail(-1);
        return;
    }
    qCDebug(updateNet) << remote.files.size() << "files";
    QStringList present;
    QList<int> presentAt;
    for (int i = 0; i < remote.files.size(); ++i) {
        if (QFileInfo(Platform::nativePath(remote.files.at(i).localPath)).isFile()) {
            present << remote.files.at(i).localPath;
            presentAt << i;
        }
    }
    const QStringList hashes = FileSync::fileHashes(present, QThread::currentThread());
    if (stopAsked())
        return;
    pending = ItemSet();
    pending.files = remote.files;
    for (int k = 0; k < presentAt.size(); ++k) {
        FileItem &item = pending.files[presentAt.at(k)];
        if (hashes.at(k) == item.hashCode)
            item.current = item.localPath;
    }
    emit pro(30);
    pending.regs = remote.regs;
    pending.bats = remote.bats;
    downFile();
}

void UpdateWork::downFile()
{
    emit pro(40);
    nextItem = 0;
    current = 0;
    failedAt = -1;
    fetched.clear();
    fetchNext();
}

QString UpdateWork::fileHash(const QString &path)
{
    return FileSync::fileHash(path);
}

void UpdateWork::fetchNext()
{
    while (failedAt < 0 && static_cast<int>(active.size()) < parallelDownloads
           && nextItem < pending.files.size()) {
        const int index = nextItem++;
        const FileItem &item = pending.files.at(index);
        // Current files are only counted: a line each would cost more than checking them.
        if (!item.current.isEmpty()) {
            ++current;
            continue;
        }
        const QString url = Manifest::fileUrl(streamUrl, item, requestedVersion);
        const QString temp = item.downPath + FileSync::tempSuffix();
        qCDebug(updateNet) << url << temp;
        // A manifest naming one file twice gets it once.
        const QString key = localKey(item.downPath);
        if (fetched.contains(key))
            continue;
        fetched << key;
        // A verified download left by an interrupted run need not travel again.
        if (QFileInfo(Platform::nativePath(temp)).isFile() && FileSync::fileHash(temp) == item.hashCode)
            continue;
        downloadItem = index;
        if (!downUrl(url, temp))
            return;
    }
    if (!active.empty())
        return; // goes on when a download ends
    if (failedAt >= 0) {
        fail(-2);
        return;
    }
    qCDebug(updateNet) << current << "files current";
    emit pro(70);
    swapAndSweep();
}

bool UpdateWork::downUrl(const QString &url, const QString &path)
{
    const QUrl target(url, QUrl::TolerantMode);
    const QString scheme = target.scheme().toLower();
    // The manifest names the download host; it must not make us read local files.
    if (!manager || !target.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        qCDebug(updateNet) << "no download from" << url;
        fail(-2);
        return false;
    }
    auto download = std::make_unique<Download>();
    Download *d = download.get();
    d->item = downloadItem;
    d->file.setFileName(Platform::nativePath(path));
    d->reply = manager->get(requestFor(target, config.stallTimeoutSeconds));
    d->reply->setReadBufferSize(replyBuffer);
    connect(d->reply, &QNetworkReply::readyRead, this, [this, d] { downloadData(d); });
    connect(d->reply, &QNetworkReply::finished, this, [this, d] { downloadDone(d); });
    active.push_back(std::move(download));
    return true;
}

bool UpdateWork::openDownloadFile(Download *d)
{
    if (d->file.isOpen() || d->streamed)
        return true;
    QDir().mkpath(QFileInfo(d->file.fileName()).absolutePath());
    const qint64 length = d->reply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
    if (length >= streamedFrom) {
        d->streamed = StreamedFile::create(d->file.fileName());
        if (d->streamed)
            return true;
    }
    return d->file.open(QIODevice::WriteOnly | QIODevice::Truncate);
}

bool UpdateWork::writeDownload(Download *d, const QByteArray &chunk)
{
    if (!openDownloadFile(d))
        return false;
    if (d->streamed)
        return d->streamed->append(chunk.constData(), chunk.size());
    return d->file.write(chunk) == chunk.size();
}

bool UpdateWork::finishDownloadFile(Download *d)
{
    if (!openDownloadFile(d))
        return false;
    if (d->streamed) {
        const bool whole = d->streamed->finish();
        d->streamed.reset();
        return whole;
    }
    const bool flushed = d->file.flush();
    d->file.close();
    return flushed;
}

void UpdateWork::downloadData(Download *d)
{
    const QByteArray chunk = d->reply->readAll();
    const int status = d->reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    // An error page is no part of the file.
    if (d->writeFailed || chunk.isEmpty() || d->reply->error() != QNetworkReply::NoError || status < 200
        || status >= 300)
        return;
    if (!writeDownload(d, chunk)) {
        qCDebug(updateNet) << "cannot write" << d->file.fileName() << d->file.errorString();
        d->writeFailed = true;
        return;
    }
    // Hashed on the way to disk: the file need not be read back to be verified.
    d->sha.add(chunk.constData(), chunk.size());
}

void UpdateWork::downloadDone(Download *d)
{
    std::unique_ptr<Download> done = takeDownload(d);
    done->reply->disconnect(this);
    done->reply->deleteLater();
    bool good = done->reply->error() == QNetworkReply::NoError;
    if (good) {
        downloadData(done.get());
        if (!done->writeFailed && !finishDownloadFile(done.get()))
            done->writeFailed = true;
    } else {
        qCDebug(updateNet) << "download:" << done->reply->errorString();
    }
    done->streamed.reset();
    done->file.close();
    if (good) {
        const QString hash = done->sha.hex();
        const QString &expected = pending.files.at(done->item).hashCode;
        good = !done->writeFailed && hash == expected;
        if (!good)
            qCDebug(updateNet) << "bad download" << done->file.fileName() << hash << expected;
    }
    if (!good && (failedAt < 0 || done->item < failedAt)) {
        // Files before the failed one still arrive whole; those after it are not waited for.
        failedAt = done->item;
        for (auto it = active.begin(); it != active.end();) {
            if ((*it)->item > failedAt) {
                (*it)->reply->disconnect(this);
                (*it)->reply->abort();
                (*it)->reply->deleteLater();
                it = active.erase(it);
            } else {
                ++it;
            }
        }
    }
    fetchNext();
}

std::unique_ptr<UpdateWork::Download> UpdateWork::takeDownload(Download *d)
{
    for (auto it = active.begin(); it != active.end(); ++it) {
        if (it->get() == d) {
            std::unique_ptr<Download> taken = std::move(*it);
            active.erase(it);
            return taken;
        }
    }
    return nullptr;
}

void UpdateWork::abortDownloads()
{
    for (const std::unique_ptr<Download> &d : active) {
        d->reply->disconnect(this);
        d->reply->abort();
        d->reply->deleteLater();
    }
    active.clear();
}

void UpdateWork::swapAndSweep()
{
    bool allIn = true;
    QSet<QString> swapped;
    for (const FileItem &item : qAsConst(pending.files)) {
        if (!item.current.isEmpty() || swapped.contains(localKey(item.downPath)))
            continue;
        swapped << localKey(item.downPath);
        if (!FileSync::swapIn(item.downPath + FileSync::tempSuffix(), item.downPath)) {
            qCWarning(updateNet) << "not swapped:" << item.downPath;
            allIn = false;
        }
    }
    // A file that kept its old version is a failed update, not a finished one; the sweep waits for
    // a run that gets every file in, so nothing it might still need is taken away.
    if (!allIn) {
        fail(-3);
        return;
    }
    FileSync::sweep(downloadRoot);
    emit pro(100);
}

void UpdateWork::fail(int code)
{
    if (ended)
        return;
    ended = true;
    if (reply) {
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
        reply = nullptr;
    }
    abortDownloads();
    emit error(code);
}

bool UpdateWork::stopAsked() const
{
    return QThread::currentThread()->isInterruptionRequested();
}
