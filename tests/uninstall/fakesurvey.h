#pragma once

// The survey service on loopback: serves the reason list and records every request.
#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QTcpServer>
#include <QTcpSocket>

struct SurveyRequest
{
    QByteArray method;
    QByteArray target;   // path and query
    QByteArray contentType;
    QByteArray body;
};

class FakeSurvey : public QObject
{
public:
    explicit FakeSurvey(QObject *parent = nullptr)
        : QObject(parent)
    {
        server.listen(QHostAddress::LocalHost, 0);
        connect(&server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = server.nextPendingConnection())
                serve(socket);
        });
    }

    QString base() const { return QStringLiteral("http://127.0.0.1:%1").arg(server.serverPort()); }

    QList<SurveyRequest> requestsOf(const QByteArray &method) const
    {
        QList<SurveyRequest> found;
        for (const SurveyRequest &r : requests)
            if (r.method == method)
                found << r;
        return found;
    }

    QList<SurveyRequest> requests;
    QByteArray reasonBody = "{\"rows\":[]}";
    int reasonStatus = 200;

private:
    void serve(QTcpSocket *socket)
    {
        auto *buffer = new QByteArray;
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QObject::destroyed, [buffer] { delete buffer; });
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, buffer] {
            buffer->append(socket->readAll());
            const int headerEnd = buffer->indexOf("\r\n\r\n");
            if (headerEnd < 0)
                return;
            const QList<QByteArray> lines = buffer->left(headerEnd).split('\n');
            SurveyRequest request;
            const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
            request.method = first.value(0);
            request.target = first.value(1);
            int length = 0;
            for (const QByteArray &line : lines.mid(1)) {
                const int colon = line.indexOf(':');
                const QByteArray key = line.left(colon).trimmed().toLower();
                const QByteArray value = line.mid(colon + 1).trimmed();
                if (key == "content-length")
                    length = value.toInt();
                else if (key == "content-type")
                    request.contentType = value;
            }
            if (buffer->size() < headerEnd + 4 + length)
                return;
            request.body = buffer->mid(headerEnd + 4, length);
            buffer->clear();
            requests << request;

            const bool list = request.method == "GET";
            const QByteArray body = list ? reasonBody : QByteArray("{}");
            const int status = list ? reasonStatus : 200;
            socket->write("HTTP/1.1 " + QByteArray::number(status) + " X\r\nContent-Type: application/json\r\n"
                          "Content-Length: " + QByteArray::number(body.size())
                          + "\r\nConnection: close\r\n\r\n" + body);
            socket->disconnectFromHost();
        });
    }

    QTcpServer server;
};
