#pragma once
#include "platform/db/Connection.h"

#include <QDialog>
#include <QStringList>

#include <memory>

class QLabel;
class QProgressBar;
class QTabWidget;
class QTimer;

namespace updater {
class HttpClient;
}

// The updater's window: it connects to the database, fetches the update catalogue (or an
// update package on disk), downloads and applies what is newer and starts the payslip
// program again. It has no buttons; every path ends the process.
class TfrmServerUpdate : public QDialog {
    Q_OBJECT
public:
    // The program folder is the executable's; tests give another, and their own HTTP client.
    explicit TfrmServerUpdate(const QString& programFolder = QString(), updater::HttpClient* http = nullptr,
                              QWidget* parent = nullptr);
    ~TfrmServerUpdate() override;

    void FormCreate();
    // Starts the sequence on the first activation only.
    void FormActivate();
    void TimerUpdateCheckTimer();
    void TimerGetListTimer();
    void IdHTTP1WorkBegin(qint64 total);
    void IdHTTP1Work(qint64 received);

    // True once the updater has ended (the process exits).
    bool ended() const { return m_ended; }
    QString baseAddress() const { return m_base; }
    QString installedVersion() const { return m_installed; }
    QString targetVersion() const { return m_target; }

    QTabWidget* PageControl1;
    QLabel* Label1;
    QLabel* Label2;
    QProgressBar* ProgressBar1;
    QTimer* TimerUpdateCheck;
    QTimer* TimerGetList;
    QStringList ListBoxML;       // the catalogue's lines
    QStringList ListUpdateFiles; // the selected entries

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void reject() override {} // the operator cannot close it

private:
    void setStatus(const QString& text);
    bool selectFrom(const QString& catalogue);
    void runOnline();
    void runOffline();
    bool download(const QString& url, const QString& file);
    void apply(const QString& updateFolder);
    void endUpdater();

    QString m_programFolder;
    QString m_base, m_host;
    QString m_installed, m_target;
    QStringList m_refused;
    db::Connection m_conn;
    std::unique_ptr<updater::HttpClient> m_ownHttp;
    updater::HttpClient* m_http;
    bool m_started = false;
    bool m_ended = false;
};

inline const QString kUpdaterTitle = QStringLiteral("鹪鹩工资条打印系统自动升级");
