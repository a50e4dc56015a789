#pragma once

#include "core/serviceconfig.h"
#include "itemset.h"

#include <QObject>
#include <QSet>
#include <QString>

#include <memory>
#include <vector>

class QNetworkAccessManager;
class QNetworkReply;

namespace FileSync {
class Sha1;
}

// One update attempt: manifest, check, download, swap, sweep. Lives on its own thread and knows
// no widget: start() in, error/pro/content out.
class UpdateWork final : public QObject
{
    Q_OBJECT
public:
    explicit UpdateWork(const ServiceConfig &config, QObject *parent = nullptr);
    ~UpdateWork() override;
    Q_DISABLE_COPY(UpdateWork)

    Q_INVOKABLE void start(bool isEn, QString third);

    void checkFile();
    void downFile();
    static QString fileHash(const QString &path);
    // Starts fetching url into path, a few at a time; each outcome arrives at downloadDone. When
    // the request cannot be made it emits error(-2) itself and returns false.
    bool downUrl(const QString &url, const QString &path);

signals:
    void error(int err);
    void pro(int pro);
    void content(QString note);

private:
    struct Download;

    void manifestArrived(QNetworkReply *reply, const QString &third);
    void fetchNext();
    void downloadData(Download *d);
    void downloadDone(Download *d);
    bool openDownloadFile(Download *d);
    bool writeDownload(Download *d, const QByteArray &chunk);
    bool finishDownloadFile(Download *d);
    std::unique_ptr<Download> takeDownload(Download *d);
    void abortDownloads();
    void swapAndSweep();
    void fail(int code);
    bool stopAsked() const;

    QNetworkAccessManager *manager = nullptr;
    ItemSet remote;
    ItemSet pending;
    QString streamUrl;

    ServiceConfig config;
    bool ended = false;
    QNetworkReply *reply = nullptr; // the manifest request
    int nextItem = 0;               // next item of pending.files to look at
    int current = 0;                // files found current, for the log
    int downloadItem = -1;          // the item downUrl fetches
    int failedAt = -1;              // the first item whose download failed
    QSet<QString> fetched;          // local files this run downloads, each once
    std::vector<std::unique_ptr<Download>> active;
};
