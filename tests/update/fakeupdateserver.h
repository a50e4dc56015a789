#pragma once

// An update server on 127.0.0.1 for tests: serves a published tree (manifests/<version>.xml and
// files/<version>/<path query>) from its own thread, so it also answers while a test waits for a
// child process. It can fail on demand.
#include <QByteArray>
#include <QMutex>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QThread>

class FakeUpdateEngine;

class FakeUpdateServer
{
public:
    enum class Fault {
        None,
        ManifestStatus, // the manifest request gets HTTP 500
        ManifestStall,  // the manifest request gets no answer at all
        FileStatus,     // every file request gets HTTP 500
        FileStall,      // file requests get headers and half the body, then nothing
        WrongBytes,     // files arrive with one byte changed
    };

    explicit FakeUpdateServer(const QString &publishedDir = QString());
    ~FakeUpdateServer();
    Q_DISABLE_COPY(FakeUpdateServer)

    quint16 port() const;
    QString base() const; // "http://127.0.0.1:<port>"

    void setPublishedDir(const QString &dir);
    void setFault(Fault fault);
    // Requests whose path query ends with this text get HTTP 500.
    void failFile(const QString &pathSuffix);
    // Served for every manifest request instead of the published one.
    void setManifest(const QByteArray &xml);

    QStringList requests() const;  // request targets, in arrival order
    QStringList fileRequests() const; // the path queries of file requests
    int connections() const;

    struct State
    {
        mutable QMutex mutex;
        QString published;
        Fault fault = Fault::None;
        QSet<QString> failing;
        QByteArray manifest;
        bool manifestSet = false;
        QStringList requests;
        QStringList fileRequests;
        int connections = 0;
    };

private:
    State state;
    QThread thread;
    FakeUpdateEngine *engine = nullptr;
    quint16 listening = 0;
};
