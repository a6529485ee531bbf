#include "platform/net/Download.h"

#include <QSaveFile>
#include <curl/curl.h>
#include <mutex>

namespace net {

namespace {

void initCurl()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct Transfer {
    QSaveFile *out = nullptr;
    const DownloadProgress *progress = nullptr;
    bool writeFailed = false;
};

size_t onData(char *data, size_t size, size_t count, void *user)
{
    auto *t = static_cast<Transfer *>(user);
    const qint64 n = qint64(size * count);
    if (t->out->write(data, n) != n) {
        t->writeFailed = true;
        return 0; // makes curl stop with a write error
    }
    return size_t(n);
}

int onProgress(void *user, curl_off_t total, curl_off_t received, curl_off_t, curl_off_t)
{
    auto *t = static_cast<Transfer *>(user);
    return (*t->progress)(qint64(received), qint64(total)) ? 0 : 1;
}

} // namespace

bool download(const QString &url, const QString &file, QString *error, const DownloadProgress &progress)
{
    auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    initCurl();
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        return fail(out.errorString());

    CURL *curl = curl_easy_init();
    if (!curl)
        return fail(QStringLiteral("curl_easy_init"));
    Transfer t{&out, &progress, false};
    char message[CURL_ERROR_SIZE] = {};
    const QByteArray u = url.trimmed().toUtf8();
    curl_easy_setopt(curl, CURLOPT_URL, u.constData());
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, message);
    // Only network protocols: a URL must never read local files or talk to odd services.
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https,ftp,ftps");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https,ftp,ftps");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, 30L);
    // A stalled transfer (under 1 byte/s for a minute) gives up instead of hanging the program.
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, 60L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, onData);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &t);
    if (progress) {
        curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, onProgress);
        curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &t);
        curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    }
    const CURLcode rc = curl_easy_perform(curl);
    curl_easy_cleanup(curl);

    if (rc != CURLE_OK) {
        out.cancelWriting();
        if (t.writeFailed)
            return fail(out.errorString());
        return fail(QString::fromUtf8(message[0] ? message : curl_easy_strerror(rc)));
    }
    if (!out.commit())
        return fail(out.errorString());
    return true;
}

} // namespace net
