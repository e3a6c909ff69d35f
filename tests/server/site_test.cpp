// The web page's files on the room server's own port: what is served, with which type and
// caching, and that nothing outside the folder ever is.
#include <QDir>
#include <QFile>
#include <QTcpSocket>
#include <memory>
#include <vector>

#include "server/site.h"
#include "tests/server/scripted_client.h"

namespace tandemhoop::server::testing {
namespace {

void Write(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

// A site folder with a page, its module, its wasm; a secret beside the folder, and a link inside
// it that leads to the secret.
class SiteTest : public ServerTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(QDir(data.path()).mkpath(QStringLiteral("site/js")));
    site = data.path() + QStringLiteral("/site");
    Write(site + QStringLiteral("/index.html"), "<!doctype html><title>court</title>");
    Write(site + QStringLiteral("/js/main.js"), "export {};");
    Write(site + QStringLiteral("/tandemhoop.wasm"), QByteArray("\0asm\1\0\0\0", 8));
    Write(data.path() + QStringLiteral("/secret.txt"), "secret");
    QFile::link(data.path() + QStringLiteral("/secret.txt"), site + QStringLiteral("/link.txt"));
  }

  QByteArray Get(const QByteArray& target, const QByteArray& method = "GET",
                 const QByteArray& headers = {}) {
    HttpRequest request;
    EXPECT_TRUE(
        ParseHead(method + ' ' + target + " HTTP/1.1\r\nHost: x\r\n" + headers + "\r\n", request));
    return ServeFile(site, request);
  }

  QString site;
};

QByteArray HeaderOf(const QByteArray& response, const QByteArray& name) {
  for (const QByteArray& line : response.left(response.indexOf("\r\n\r\n")).split('\n')) {
    if (line.startsWith(name + ": ")) return line.mid(name.size() + 2).trimmed();
  }
  return {};
}

QByteArray BodyOf(const QByteArray& response) {
  return response.mid(response.indexOf("\r\n\r\n") + 4);
}

TEST_F(SiteTest, ServesTheFolderWithTypesAndRevalidationAndNothingOutsideIt) {
  const QByteArray page = Get("/");
  EXPECT_TRUE(page.startsWith("HTTP/1.1 200 OK\r\n"));
  EXPECT_EQ(HeaderOf(page, "Content-Type"), "text/html; charset=utf-8");
  EXPECT_EQ(BodyOf(page), "<!doctype html><title>court</title>");
  EXPECT_EQ(HeaderOf(Get("/tandemhoop.wasm"), "Content-Type"), "application/wasm");
  EXPECT_EQ(HeaderOf(Get("/js/main.js?v=2"), "Content-Type"), "text/javascript; charset=utf-8");
  EXPECT_EQ(HeaderOf(Get("/js"), "Location"), "/js/");

  // Kept by the browser, and asked again each time: an unchanged file costs a 304.
  const QByteArray wasm = Get("/tandemhoop.wasm");
  EXPECT_EQ(HeaderOf(wasm, "Cache-Control"), "no-cache");
  const QByteArray etag = HeaderOf(wasm, "ETag");
  ASSERT_FALSE(etag.isEmpty());
  const QByteArray again = Get("/tandemhoop.wasm", "GET", "If-None-Match: " + etag + "\r\n");
  EXPECT_TRUE(again.startsWith("HTTP/1.1 304 "));
  EXPECT_TRUE(BodyOf(again).isEmpty());

  const QByteArray head = Get("/tandemhoop.wasm", "HEAD");
  EXPECT_EQ(HeaderOf(head, "Content-Length"), "8");
  EXPECT_TRUE(BodyOf(head).isEmpty());
  EXPECT_TRUE(Get("/", "POST").startsWith("HTTP/1.1 405 "));

  for (const QByteArray target :
       {"/../secret.txt", "/%2e%2e/secret.txt", "/js/%2e%2e%2f%2e%2e%2fsecret.txt",
        "/js/..%5c..%5csecret.txt", "/link.txt", "/missing.html", "/index.html%00.png"}) {
    const QByteArray refused = Get(target);
    EXPECT_TRUE(refused.startsWith("HTTP/1.1 404 ")) << target.constData();
    EXPECT_FALSE(refused.contains("secret")) << target.constData();
  }
}

TEST_F(SiteTest, OnePortServesThePageBesideARoomInPlay) {
  Start([this](ServerOptions& options) { options.siteDir = site; });
  Pair pair(port);
  ASSERT_TRUE(pair.ok);

  const auto fetch = [this](const QByteArray& request) {
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    EXPECT_TRUE(socket.waitForConnected(5000));
    socket.write(request);
    QByteArray response;
    WaitFor([&] {
      response += socket.readAll();
      return socket.state() == QAbstractSocket::UnconnectedState;
    });
    return response + socket.readAll();
  };
  const QByteArray wasm = fetch("GET /tandemhoop.wasm HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
  EXPECT_EQ(HeaderOf(wasm, "Content-Type"), "application/wasm");
  EXPECT_EQ(BodyOf(wasm), QByteArray("\0asm\1\0\0\0", 8));
  EXPECT_TRUE(fetch("GET /play HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n").startsWith("HTTP/1.1 426 "));
  EXPECT_TRUE(
      fetch("GET /" + QByteArray(9000, 'a') + " HTTP/1.1\r\n\r\n").startsWith("HTTP/1.1 431 "));
  EXPECT_TRUE(fetch("\x16\x03\x01 not http\r\n\r\n").startsWith("HTTP/1.1 400 "));

  // A browser fetches six files at a time, and a second tab as many: more page connections from
  // one address than it may hold for play are all answered.
  constexpr int kBurst = 12;
  std::vector<std::unique_ptr<QTcpSocket>> burst;
  std::vector<QByteArray> answers(kBurst);
  for (int i = 0; i < kBurst; ++i) {
    burst.push_back(std::make_unique<QTcpSocket>());
    burst.back()->connectToHost(QHostAddress::LocalHost, port);
    ASSERT_TRUE(burst.back()->waitForConnected(5000));
    burst.back()->write("GET /js/main.js HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
  }
  WaitFor([&] {
    bool all = true;
    for (int i = 0; i < kBurst; ++i) {
      answers[static_cast<std::size_t>(i)] += burst[static_cast<std::size_t>(i)]->readAll();
      all = all && burst[static_cast<std::size_t>(i)]->state() == QAbstractSocket::UnconnectedState;
    }
    return all;
  });
  for (const QByteArray& answer : answers)
    EXPECT_TRUE(answer.startsWith("HTTP/1.1 200 OK\r\n")) << answer.left(40).toStdString();
  EXPECT_TRUE(pair.StillPlaying());
}

}  // namespace
}  // namespace tandemhoop::server::testing
