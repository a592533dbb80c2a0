// A small HTTP/1.1 server on 127.0.0.1 for network tests: each path gets
// queued answers (the last one repeats), every request is recorded, and a
// path can be made to accept the connection and never answer. It runs on the
// test's thread: the client's event loop serves it.
#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QMap>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace velmora::test {

class LocalHttpServer {
public:
    struct Response {
        int status = 200;
        QByteArray body;
        std::vector<std::pair<QByteArray, QByteArray>> headers;
        bool silent = false;  // accept and never answer
        // Send the body one byte every this many milliseconds (0: at once),
        // as a server that keeps a connection alive without finishing does.
        int trickleMs = 0;
    };
    struct Request {
        QByteArray path;                       // without the query
        QByteArray query;                      // after "?"
        QMap<QByteArray, QByteArray> headers;  // names in lower case
        qint64 atMs = 0;                       // since the server started
    };

    LocalHttpServer()
    {
        clock_.start();
        server_.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { serve(socket); });
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
                open_.push_back(socket);
            }
        });
    }
    ~LocalHttpServer()
    {
        for (const QPointer<QTcpSocket>& socket : open_) {
            if (socket) {
                socket->abort();
                delete socket.data();
            }
        }
    }

    QString address() const { return QStringLiteral("http://127.0.0.1:%1").arg(server_.serverPort()); }
    bool listening() const { return server_.isListening(); }

    void answer(const QByteArray& path, Response response) { routes_[path].push_back(std::move(response)); }
    void answerJson(const QByteArray& path, const QByteArray& json, int status = 200)
    {
        answer(path, {status, json, {{"Content-Type", "application/json"}}, false});
    }

    const std::vector<Request>& requests() const { return requests_; }
    // Called with each request before it is answered (what happens on the
    // client's side while it waits).
    std::function<void(const Request&)> onRequest;
    int count(const QByteArray& path) const
    {
        int n = 0;
        for (const Request& r : requests_) {
            n += r.path == path ? 1 : 0;
        }
        return n;
    }

private:
    void serve(QTcpSocket* socket)
    {
        QByteArray& buffer = pending_[socket];
        buffer += socket->readAll();
        const qsizetype end = buffer.indexOf("\r\n\r\n");
        if (end < 0) {
            return;
        }
        const QList<QByteArray> lines = buffer.left(end).split('\n');
        buffer.clear();
        Request request;
        request.atMs = clock_.elapsed();
        const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
        const QByteArray target = first.value(1);
        const qsizetype mark = target.indexOf('?');
        request.path = mark < 0 ? target : target.left(mark);
        request.query = mark < 0 ? QByteArray() : target.mid(mark + 1);
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const qsizetype colon = lines[i].indexOf(':');
            if (colon > 0) {
                request.headers[lines[i].left(colon).trimmed().toLower()] = lines[i].mid(colon + 1).trimmed();
            }
        }
        requests_.push_back(request);
        if (onRequest) {
            onRequest(request);
        }
        Response response{404, "{\"error\":\"Not Found\"}", {{"Content-Type", "application/json"}}, false};
        auto route = routes_.find(request.path);
        if (route != routes_.end() && !route->second.empty()) {
            response = route->second.front();
            if (route->second.size() > 1) {
                route->second.pop_front();
            }
        }
        if (response.silent) {
            return;
        }
        QByteArray reply =
            "HTTP/1.1 " + QByteArray::number(response.status) + " " + reason(response.status) + "\r\n";
        for (const auto& [name, value] : response.headers) {
            reply += name + ": " + value + "\r\n";
        }
        reply +=
            "Content-Length: " + QByteArray::number(response.body.size()) + "\r\nConnection: close\r\n\r\n";
        if (response.trickleMs > 0) {
            socket->write(reply);
            trickle(socket, response.body, response.trickleMs);
            return;
        }
        reply += response.body;
        socket->write(reply);
        socket->disconnectFromHost();
    }

    void trickle(QTcpSocket* socket, QByteArray rest, int intervalMs)
    {
        auto* timer = new QTimer(socket);
        QObject::connect(timer, &QTimer::timeout, socket, [socket, timer, rest]() mutable {
            if (rest.isEmpty()) {
                timer->stop();
                socket->disconnectFromHost();
                return;
            }
            socket->write(rest.left(1));
            rest.remove(0, 1);
        });
        timer->start(intervalMs);
    }

    static QByteArray reason(int status)
    {
        switch (status) {
            case 200:
                return "OK";
            case 302:
                return "Found";
            case 307:
                return "Temporary Redirect";
            case 404:
                return "Not Found";
            case 503:
                return "Service Unavailable";
            default:
                return "Status";
        }
    }

    QTcpServer server_;
    QElapsedTimer clock_;
    std::map<QByteArray, std::deque<Response>> routes_;
    std::map<QTcpSocket*, QByteArray> pending_;
    std::vector<Request> requests_;
    std::vector<QPointer<QTcpSocket>> open_;
};

}  // namespace velmora::test
