// The frame a window manager has put around a top-level window.
#include "platform/frame_extents.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#ifdef VORELK_HAVE_XCB
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <thread>
#include <vector>
#endif

namespace {

#ifdef VORELK_HAVE_XCB

struct FreeReply {
  void operator()(void* reply) const { std::free(reply); }
};
template <typename Reply>
using ReplyPtr = std::unique_ptr<Reply, FreeReply>;

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
  const ReplyPtr<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
      c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
  return reply != nullptr ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

// The 32-bit values of a property of `window` of that type (at most
// `count`), or nothing when the window has no such property (or is not
// there: the error is taken here, not reported as the program's).
std::optional<std::vector<uint32_t>> Property(xcb_connection_t* c, xcb_window_t window,
                                              xcb_atom_t property, xcb_atom_t type,
                                              uint32_t count) {
  xcb_generic_error_t* error = nullptr;
  const ReplyPtr<xcb_get_property_reply_t> reply(
      xcb_get_property_reply(c, xcb_get_property(c, 0, window, property, type, 0, count), &error));
  std::free(error);
  if (reply == nullptr || reply->type != type || reply->format != 32) return std::nullopt;
  const auto* values = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
  return std::vector<uint32_t>(values, values + xcb_get_property_value_length(reply.get()) / 4);
}

xcb_connection_t* X11Connection() {
  const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  return x11 != nullptr ? x11->connection() : nullptr;
}

xcb_window_t Root(xcb_connection_t* c) {
  return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
}

// The atoms the frame is read and asked for with, interned once per
// connection.
struct FrameAtoms {
  xcb_atom_t extents = XCB_ATOM_NONE;
  xcb_atom_t supported = XCB_ATOM_NONE;
  xcb_atom_t request = XCB_ATOM_NONE;
  xcb_atom_t check = XCB_ATOM_NONE;
};

const FrameAtoms& AtomsOf(xcb_connection_t* c) {
  static xcb_connection_t* atomsOf = nullptr;
  static FrameAtoms atoms;
  if (atomsOf != c) {
    atomsOf = c;
    atoms.extents = Atom(c, "_NET_FRAME_EXTENTS");
    atoms.supported = Atom(c, "_NET_SUPPORTED");
    atoms.request = Atom(c, "_NET_REQUEST_FRAME_EXTENTS");
    atoms.check = Atom(c, "_NET_SUPPORTING_WM_CHECK");
  }
  return atoms;
}

// The window manager announces that it handles `atom`.
bool Supported(xcb_connection_t* c, xcb_atom_t atom) {
  const auto supported = Property(c, Root(c), AtomsOf(c).supported, XCB_ATOM_ATOM, 4096);
  return supported && std::find(supported->begin(), supported->end(), atom) != supported->end();
}

// The window's _NET_FRAME_EXTENTS (left, right, top, bottom), if it has them.
std::optional<QMargins> FrameExtents(xcb_connection_t* c, xcb_window_t id) {
  const auto extents = Property(c, id, AtomsOf(c).extents, XCB_ATOM_CARDINAL, 4);
  if (!extents || extents->size() != 4) return std::nullopt;
  const auto side = [&](int i) {
    return static_cast<int>(std::min<uint32_t>((*extents)[i], 4096));
  };
  return QMargins(side(0), side(2), side(1), side(3));
}

// The frame under X11: the window's _NET_FRAME_EXTENTS; nothing before the
// window manager has set it when it announces that it sets it; else what
// Qt reports.
std::optional<QMargins> X11FrameMargins(const QWidget* window) {
  xcb_connection_t* c = X11Connection();
  if (c == nullptr) return std::nullopt;
  const auto id = static_cast<xcb_window_t>(window->windowHandle()->winId());
  if (const auto extents = FrameExtents(c, id)) return extents;
  if (Supported(c, AtomsOf(c).extents)) return QMargins();
  return std::nullopt;
}

#endif

}  // namespace

QMargins WindowFrameMargins(const QWidget* window) {
  if (window == nullptr || !window->isWindow() || window->windowHandle() == nullptr ||
      window->windowHandle()->handle() == nullptr) {
    return {};
  }
#ifdef VORELK_HAVE_XCB
  if (const std::optional<QMargins> margins = X11FrameMargins(window)) return *margins;
#endif
  return window->windowHandle()->frameMargins();
}

QMargins PredictedFrameMargins(QWidget* window) {
  if (window == nullptr || !window->isWindow()) return {};
#ifdef VORELK_HAVE_XCB
  xcb_connection_t* c = X11Connection();
  if (c == nullptr || !Supported(c, AtomsOf(c).request)) return {};
  // Created as show would create it (winId would make its children
  // native windows too).
  if (window->windowHandle() == nullptr || window->windowHandle()->handle() == nullptr) {
    struct Creator : QWidget {
      using QWidget::create;
    };
    void (QWidget::*create)(WId, bool, bool) = &Creator::create;
    (window->*create)(0, true, true);
  }
  if (window->windowHandle() == nullptr) return {};
  const auto id = static_cast<xcb_window_t>(window->windowHandle()->winId());
  if (const auto extents = FrameExtents(c, id)) return *extents;
  xcb_client_message_event_t event{};
  event.response_type = XCB_CLIENT_MESSAGE;
  event.format = 32;
  event.window = id;
  event.type = AtomsOf(c).request;
  xcb_send_event(c, 0, Root(c),
                 XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                 reinterpret_cast<const char*>(&event));
  xcb_flush(c);
  // The window manager answers by setting the property; it is read back
  // (each read a round trip to the server) until it comes.
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
  do {
    if (const auto extents = FrameExtents(c, id)) return *extents;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  } while (std::chrono::steady_clock::now() < end);
#endif
  return {};
}

bool WindowManagerRunning() {
#ifdef VORELK_HAVE_XCB
  if (xcb_connection_t* c = X11Connection()) {
    // The window the root names names itself: one left behind by a window
    // manager that has gone is no longer there.
    const xcb_atom_t atom = AtomsOf(c).check;
    const auto check = Property(c, Root(c), atom, XCB_ATOM_WINDOW, 1);
    if (!check || check->empty()) return false;
    const auto itself = Property(c, (*check)[0], atom, XCB_ATOM_WINDOW, 1);
    return itself && !itself->empty() && (*itself)[0] == (*check)[0];
  }
#endif
  return true;
}
