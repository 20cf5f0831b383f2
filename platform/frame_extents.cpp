// The frame a window manager has put around a top-level window.
#include "platform/frame_extents.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#ifdef VORELK_HAVE_XCB
#include <xcb/xcb.h>

#include <QtGui/qguiapplication_platform.h>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
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
// `count`), or nothing when the window has no such property.
std::optional<std::vector<uint32_t>> Property(xcb_connection_t* c, xcb_window_t window,
                                                    xcb_atom_t property, xcb_atom_t type,
                                                    uint32_t count) {
  const ReplyPtr<xcb_get_property_reply_t> reply(xcb_get_property_reply(
      c, xcb_get_property(c, 0, window, property, type, 0, count), nullptr));
  if (reply == nullptr || reply->type != type || reply->format != 32) return std::nullopt;
  const auto* values = static_cast<const uint32_t*>(xcb_get_property_value(reply.get()));
  return std::vector<uint32_t>(values, values + xcb_get_property_value_length(reply.get()) / 4);
}

// The frame under X11: the window's _NET_FRAME_EXTENTS (left, right, top,
// bottom); nothing before the window manager has set it when it announces
// that it sets it; else what Qt reports.
std::optional<QMargins> X11FrameMargins(const QWidget* window) {
  const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  xcb_connection_t* c = x11 != nullptr ? x11->connection() : nullptr;
  if (c == nullptr) return std::nullopt;
  static xcb_connection_t* atomsOf = nullptr;
  static xcb_atom_t extentsAtom = XCB_ATOM_NONE;
  static xcb_atom_t supportedAtom = XCB_ATOM_NONE;
  if (atomsOf != c) {
    atomsOf = c;
    extentsAtom = Atom(c, "_NET_FRAME_EXTENTS");
    supportedAtom = Atom(c, "_NET_SUPPORTED");
  }
  const auto id = static_cast<xcb_window_t>(window->windowHandle()->winId());
  const auto extents = Property(c, id, extentsAtom, XCB_ATOM_CARDINAL, 4);
  if (extents && extents->size() == 4) {
    const auto side = [&](int i) { return static_cast<int>(std::min<uint32_t>((*extents)[i], 4096)); };
    return QMargins(side(0), side(2), side(1), side(3));
  }
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
  const auto supported = Property(c, root, supportedAtom, XCB_ATOM_ATOM, 4096);
  if (supported && std::find(supported->begin(), supported->end(), extentsAtom) != supported->end()) {
    return QMargins();
  }
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
