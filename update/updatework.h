#pragma once

#include "core/serviceconfig.h"
#include "itemset.h"

#include <QFile>
#include <QObject>
#include <QSet>
#include <QString>

#include <memory>

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
    // Starts fetching url into path; the outcome arrives at downloadDone. On failure it emits
    // error(-2) itself and returns false.
    bool downUrl(const QString &url, const QString &path);

signals:
    void error(int err);
    void pro(int pro);
    void content(QString note);

private:
    void manifestArrived(QNetworkReply *reply, const QString &third);
    void fetchNext();
    void downloadData();
    void downloadDone();
    bool openDownloadFile();
    void swapAndSweep();
    void fail(int code);
    bool stopAsked() const;

    QNetworkAccessManager *manager = nullptr;
    ItemSet remote;
    ItemSet pending;
    QString streamUrl;

    ServiceConfig config;
    bool ended = false;
    int nextItem = 0;
    int current = 0; // files found current, for the log
    QSet<QString> fetched; // local files this run downloads, each once
    // The running download.
    QNetworkReply *reply = nullptr;
    QFile downloadFile;
    std::unique_ptr<FileSync::Sha1> downloadHash;
    QString expectedHash;
    bool writeFailed = false;
};
