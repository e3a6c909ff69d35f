#include "server/site.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

namespace tandemhoop::server {

namespace {

// A page's files are a few megabytes; anything far larger in the folder is not one of them.
constexpr qint64 kMaxFileBytes = 64 << 20;

QByteArray HttpDate(const QDateTime& time) {
  return QLocale::c()
      .toString(time.toUTC(), QStringLiteral("ddd, dd MMM yyyy hh:mm:ss 'GMT'"))
      .toLatin1();
}

QByteArray Head(int status, QByteArrayView reason, QByteArrayView headers) {
  QByteArray head = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason.toByteArray() + "\r\n";
  head += headers.toByteArray();
  head += "Connection: close\r\nServer: tandemhoop-server\r\n\r\n";
  return head;
}

}  // namespace

QByteArray HttpRequest::Header(QByteArrayView name) const {
  for (const auto& [key, value] : headers) {
    if (key.compare(name, Qt::CaseInsensitive) == 0) return value;
  }
  return {};
}

QByteArray HttpRequest::Path() const {
  const qsizetype query = target.indexOf('?');
  return query < 0 ? target : target.left(query);
}

bool ParseHead(QByteArrayView head, HttpRequest& request) {
  request = {};
  const QList<QByteArray> lines = head.toByteArray().split('\n');
  if (lines.isEmpty()) return false;
  const QList<QByteArray> first = lines[0].trimmed().split(' ');
  if (first.size() != 3 || !first[2].startsWith("HTTP/1.") || first[0].isEmpty() ||
      !first[1].startsWith('/'))
    return false;
  request.method = first[0];
  request.target = first[1];
  for (qsizetype i = 1; i < lines.size(); ++i) {
    const QByteArray line = lines[i].trimmed();
    if (line.isEmpty()) continue;
    const qsizetype colon = line.indexOf(':');
    if (colon <= 0) return false;
    request.headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
  }
  return true;
}

QByteArray TextResponse(int status, QByteArrayView reason, QByteArrayView body,
                        QByteArrayView extraHeaders) {
  return Head(status, reason,
              "Content-Type: text/plain; charset=utf-8\r\nContent-Length: " +
                  QByteArray::number(body.size()) + "\r\n" + extraHeaders.toByteArray()) +
         body.toByteArray();
}

QByteArray MediaTypeOf(const QString& fileName) {
  static const QList<QPair<QString, QByteArray>> kTypes = {
      {QStringLiteral("html"), "text/html; charset=utf-8"},
      {QStringLiteral("css"), "text/css; charset=utf-8"},
      {QStringLiteral("js"), "text/javascript; charset=utf-8"},
      {QStringLiteral("mjs"), "text/javascript; charset=utf-8"},
      {QStringLiteral("json"), "application/json"},
      {QStringLiteral("webmanifest"), "application/manifest+json"},
      {QStringLiteral("wasm"), "application/wasm"},
      {QStringLiteral("png"), "image/png"},
      {QStringLiteral("svg"), "image/svg+xml"},
      {QStringLiteral("ico"), "image/vnd.microsoft.icon"},
      {QStringLiteral("otf"), "font/otf"},
      {QStringLiteral("ttf"), "font/ttf"},
      {QStringLiteral("woff2"), "font/woff2"},
      {QStringLiteral("wav"), "audio/wav"},
      {QStringLiteral("txt"), "text/plain; charset=utf-8"},
  };
  const QString suffix = QFileInfo(fileName).suffix().toLower();
  for (const auto& [known, type] : kTypes) {
    if (suffix == known) return type;
  }
  return "application/octet-stream";
}

QByteArray ServeFile(const QString& root, const HttpRequest& request) {
  const bool head = request.method == "HEAD";
  if (request.method != "GET" && !head)
    return TextResponse(405, "Method Not Allowed", "Only GET and HEAD here.\n",
                        "Allow: GET, HEAD\r\n");
  const QByteArray notFound = TextResponse(404, "Not Found", "Not found.\n");

  // Each segment is decoded on its own, so that an encoded slash cannot join two into "..".
  const QByteArray path = request.Path();
  QStringList segments;
  for (const QByteArray& raw : path.split('/')) {
    const QByteArray segment = QByteArray::fromPercentEncoding(raw);
    if (segment.isEmpty() || segment == ".") continue;
    if (segment == ".." || segment.contains('/') || segment.contains('\\') ||
        segment.contains('\0'))
      return notFound;
    segments.append(QString::fromUtf8(segment));
  }

  const QString base = QFileInfo(root).canonicalFilePath();
  if (base.isEmpty()) return notFound;
  QString file = base + QLatin1Char('/') + segments.join(QLatin1Char('/'));
  QFileInfo info(file);
  if (info.isDir()) {
    if (!path.endsWith('/'))
      return TextResponse(301, "Moved Permanently", "Moved.\n", "Location: " + path + "/\r\n");
    file = info.filePath() + QStringLiteral("/index.html");
    info = QFileInfo(file);
  }
  // A link inside the folder may lead anywhere: what counts is where it ends.
  const QString real = info.canonicalFilePath();
  if (real.isEmpty() || !real.startsWith(base + QLatin1Char('/')) || !info.isFile() ||
      info.size() > kMaxFileBytes)
    return notFound;

  const QDateTime modified = info.lastModified().toUTC();
  const QByteArray etag = '"' + QByteArray::number(info.size(), 16) + '-' +
                          QByteArray::number(modified.toMSecsSinceEpoch(), 16) + '"';
  // The files keep their names from one build to the next: a browser keeps them but asks
  // each time whether they changed, and a 304 costs almost nothing.
  const QByteArray common = "Cache-Control: no-cache\r\nETag: " + etag +
                            "\r\nLast-Modified: " + HttpDate(modified) +
                            "\r\nX-Content-Type-Options: nosniff\r\n";
  if (request.Header("If-None-Match") == etag) return Head(304, "Not Modified", common);

  QFile source(real);
  if (!source.open(QIODevice::ReadOnly)) return notFound;
  const QByteArray body = head ? QByteArray() : source.readAll();
  return Head(200, "OK",
              "Content-Type: " + MediaTypeOf(real) +
                  "\r\nContent-Length: " + QByteArray::number(info.size()) + "\r\n" + common) +
         body;
}

}  // namespace tandemhoop::server
