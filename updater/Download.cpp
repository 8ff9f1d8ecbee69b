#include "updater/Download.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QHostAddress>
#include <QHostInfo>
#include <QNetworkAccessManager>
#include <QNetworkCookieJar>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>

namespace updater {

QtHttpClient::QtHttpClient()
    : m_manager(new QNetworkAccessManager)
{
    m_manager->setCookieJar(new QNetworkCookieJar(m_manager));
    m_manager->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
    m_manager->setProxy(QNetworkProxy::NoProxy);
}

QtHttpClient::~QtHttpClient()
{
    delete m_manager;
}

bool QtHttpClient::get(const QUrl& url, QByteArray& body, const Progress& progress)
{
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Mozilla/3.0 (compatible; Indy Library)"));
    request.setRawHeader("Accept", "text/html, */*");
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("text/html"));
    request.setTransferTimeout(0);
    QNetworkReply* reply = m_manager->get(request);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (progress)
        QObject::connect(reply, &QNetworkReply::downloadProgress, &loop,
                         [&progress](qint64 received, qint64 total) { progress(received, total); });
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    // A loop that returned early (the program is ending) leaves the transfer unfinished.
    if (!reply->isFinished())
        reply->abort();
    const bool ok = reply->isFinished() && reply->error() == QNetworkReply::NoError;
    if (ok)
        body = reply->readAll();
    reply->deleteLater();
    return ok;
}

DownloadResult DownLoadFile(HttpClient& http, const QUrl& url, const QString& file, const HttpClient::Progress& progress)
{
    if (progress)
        progress(0, 0);
    QByteArray body;
    if (!http.get(url, body, progress))
        return DownloadResult::NotFetched;
    const QString folder = QFileInfo(file).absolutePath();
    if (!QFileInfo(folder).isDir() && !QDir().mkdir(folder)) // one level, as a download folder is made
        return DownloadResult::FolderNotMade;
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(body) != body.size() || !out.commit())
        return DownloadResult::FileNotWritten;
    return DownloadResult::Stored;
}

QString ResolveHostAddress(const QString& host)
{
    const QHostInfo info = QHostInfo::fromName(host);
    for (const QHostAddress& a : info.addresses())
        if (a.protocol() == QAbstractSocket::IPv4Protocol)
            return a.toString();
    return QString();
}

} // namespace updater
