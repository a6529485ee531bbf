#pragma once
// HTTP/HTTPS/FTP download of one resource into a local file, over libcurl.

#include <QString>
#include <functional>

namespace net {

// Called while the transfer runs with the bytes received and the total (0 while unknown);
// returning false aborts the download.
using DownloadProgress = std::function<bool(qint64 received, qint64 total)>;

// Downloads url into file. The file is replaced only when the whole resource arrived; a server
// error status (404 ...) counts as failure. On failure error (when given) receives the reason.
bool download(const QString &url, const QString &file, QString *error = nullptr,
              const DownloadProgress &progress = {});

} // namespace net
