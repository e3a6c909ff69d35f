#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QPair>
#include <QString>

// Plain HTTP on the room server's port: the head of a request, and the web page's files from a
// folder, so that one port serves the page and the play.
namespace tandemhoop::server {

// What a request head may be at most; a longer one is refused unread.
inline constexpr qsizetype kMaxHeadBytes = 8192;

struct HttpRequest {
  QByteArray method;
  QByteArray target;  // as sent: path and query
  QList<QPair<QByteArray, QByteArray>> headers;
  // The value of a header (names compared without case), empty when absent.
  QByteArray Header(QByteArrayView name) const;
  // The path of the target, without its query.
  QByteArray Path() const;
};

// Reads a head that ends with its blank line. False for anything that is not HTTP/1.x.
bool ParseHead(QByteArrayView head, HttpRequest& request);

// A whole response with a short text body, closing the connection.
QByteArray TextResponse(int status, QByteArrayView reason, QByteArrayView body,
                        QByteArrayView extraHeaders = {});

// The response to a GET or HEAD of a file under `root`: nothing outside the folder is ever
// served (no "..", no link leading out), a folder gives its index.html, and every answer can
// be checked again cheaply by its ETag.
QByteArray ServeFile(const QString& root, const HttpRequest& request);

// The media type the page's files are served with.
QByteArray MediaTypeOf(const QString& fileName);

}  // namespace tandemhoop::server
