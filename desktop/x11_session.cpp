#include "desktop/x11_session.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QByteArray>
#include <QGuiApplication>
#include <QWidget>
#include <cstdlib>
#include <cstring>
#include <memory>

#ifdef TANDEMHOOP_HAS_XCB
#include <xcb/xcb.h>
#endif

namespace tandemhoop {

#ifdef TANDEMHOOP_HAS_XCB

namespace {

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
  const xcb_intern_atom_cookie_t cookie =
      xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
  if (reply == nullptr) return XCB_ATOM_NONE;
  const xcb_atom_t atom = reply->atom;
  std::free(reply);
  return atom;
}

class CloseFilter final : public QAbstractNativeEventFilter {
 public:
  CloseFilter(QWidget& window, xcb_atom_t protocols, xcb_atom_t deleteWindow,
              std::function<void()> onClose)
      : window_(window),
        protocols_(protocols),
        deleteWindow_(deleteWindow),
        onClose_(std::move(onClose)) {}

  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
    if (eventType != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7F) != XCB_CLIENT_MESSAGE) return false;
    const auto* client = static_cast<const xcb_client_message_event_t*>(message);
    if (client->format != 32 || client->type != protocols_ ||
        client->data.data32[0] != deleteWindow_ || client->window != window_.winId()) {
      return false;
    }
    // Without a box Qt delivers the close itself, to the window's close handler.
    if (QApplication::activeModalWidget() == nullptr) return false;
    onClose_();
    return true;
  }

 private:
  QWidget& window_;
  xcb_atom_t protocols_;
  xcb_atom_t deleteWindow_;
  std::function<void()> onClose_;
};

}  // namespace

bool XDisplayAnswers(QString* reason) {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (platform != nullptr && *platform != '\0' && std::strncmp(platform, "xcb", 3) != 0)
    return true;
  const char* display = std::getenv("DISPLAY");
  if (display == nullptr || *display == '\0') return true;
  xcb_connection_t* connection = xcb_connect(display, nullptr);
  const bool answers = xcb_connection_has_error(connection) == 0;
  xcb_disconnect(connection);
  if (!answers && reason != nullptr)
    *reason =
        QStringLiteral("no X display answers at DISPLAY=%1").arg(QString::fromLocal8Bit(display));
  return answers;
}

void CloseEvenBehindABox(QWidget& window, std::function<void()> onClose) {
  auto* x11 =
      qApp == nullptr ? nullptr : qApp->nativeInterface<QNativeInterface::QX11Application>();
  if (x11 == nullptr || x11->connection() == nullptr) return;
  xcb_connection_t* connection = x11->connection();
  const xcb_atom_t protocols = Atom(connection, "WM_PROTOCOLS");
  const xcb_atom_t deleteWindow = Atom(connection, "WM_DELETE_WINDOW");
  if (protocols == XCB_ATOM_NONE || deleteWindow == XCB_ATOM_NONE) return;
  // Lives as long as the program, like the court window it watches.
  static std::unique_ptr<CloseFilter> filter;
  if (filter) qApp->removeNativeEventFilter(filter.get());
  filter = std::make_unique<CloseFilter>(window, protocols, deleteWindow, std::move(onClose));
  qApp->installNativeEventFilter(filter.get());
}

#else

bool XDisplayAnswers(QString*) {
  return true;
}

void CloseEvenBehindABox(QWidget&, std::function<void()>) {}

#endif

}  // namespace tandemhoop
