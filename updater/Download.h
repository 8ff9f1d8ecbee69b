#pragma once
#include <QByteArray>
#include <QString>
#include <QUrl>

#include <functional>

class QNetworkAccessManager;

namespace updater {

// Fetches a whole HTTP response body. Progress gets the bytes received and expected.
class HttpClient {
public:
    virtual ~HttpClient() = default;
    using Progress = std::function<void(qint64 received, qint64 total)>;
    // False on any failure: look-up, connection, an error status.
    virtual bool get(const QUrl& url, QByteArray& body, const Progress& progress) = 0;
};

// Qt Network: GET with the headers of the original client, redirects followed, cookies
// kept, no time-out; waits in a local event loop so the window keeps repainting.
class QtHttpClient : public HttpClient {
public:
    QtHttpClient();
    ~QtHttpClient() override;
    bool get(const QUrl& url, QByteArray& body, const Progress& progress) override;

private:
    QNetworkAccessManager* m_manager;
};

enum class DownloadResult { Stored, NotFetched, FolderNotMade, FileNotWritten };

// Fetches a URL and stores it under file (atomically, replacing it); the file's folder
// is made when its parent exists.
DownloadResult DownLoadFile(HttpClient& http, const QUrl& url, const QString& file,
                            const HttpClient::Progress& progress = {});

// The first IPv4 address of a host as "a.b.c.d"; empty when it does not resolve.
QString ResolveHostAddress(const QString& host);

} // namespace updater
