#include "GlobalHotKeyX11.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#include <X11/keysym.h>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <cstdlib>
#include <memory>

namespace {

xcb_connection_t* x11Connection()
{
    const auto* x11 = qGuiApp != nullptr
                          ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                          : nullptr;
    return x11 != nullptr ? x11->connection() : nullptr;
}

struct FreeDeleter
{
    void operator()(void* pointer) const { std::free(pointer); }
};
template<typename T>
using XcbReply = std::unique_ptr<T, FreeDeleter>;

// The key codes that produce a key symbol on this keyboard.
QList<xcb_keycode_t> keyCodesOf(xcb_key_symbols_t* symbols, xcb_keysym_t symbol)
{
    QList<xcb_keycode_t> codes;
    const XcbReply<xcb_keycode_t> found(xcb_key_symbols_get_keycode(symbols, symbol));
    for (const xcb_keycode_t* code = found.get(); code != nullptr && *code != XCB_NO_SYMBOL;
         ++code) {
        if (!codes.contains(*code))
            codes.append(*code);
    }
    return codes;
}

// The modifier bit that Num Lock sets; commonly Mod2.
std::uint16_t numLockMask(xcb_connection_t* connection, xcb_key_symbols_t* symbols)
{
    const QList<xcb_keycode_t> numLock = keyCodesOf(symbols, XK_Num_Lock);
    const XcbReply<xcb_get_modifier_mapping_reply_t> mapping(
        xcb_get_modifier_mapping_reply(connection, xcb_get_modifier_mapping(connection), nullptr));
    if (!mapping || numLock.isEmpty())
        return XCB_MOD_MASK_2;
    const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(mapping.get());
    const int perModifier = mapping->keycodes_per_modifier;
    for (int modifier = 0; modifier < 8; ++modifier) {
        for (int i = 0; i < perModifier; ++i) {
            if (numLock.contains(codes[modifier * perModifier + i]))
                return std::uint16_t(1u << modifier);
        }
    }
    return XCB_MOD_MASK_2;
}

} // namespace

GlobalHotKeyX11::GlobalHotKeyX11(QObject* parent)
    : GlobalHotKey(parent)
{
}

GlobalHotKeyX11::~GlobalHotKeyX11()
{
    ungrab();
}

void GlobalHotKeyX11::registerKey(char letter)
{
    ungrab();
    xcb_connection_t* connection = x11Connection();
    if (connection == nullptr) {
        setState(State::Unavailable);
        return;
    }
    if (!isValidLetter(letter)) {
        setState(State::Unregistered);
        return;
    }
    m_root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(connection);
    // Keyboards map letters by their lower-case symbol.
    const xcb_keysym_t symbol =
        letter == ',' ? xcb_keysym_t(XK_Print) : xcb_keysym_t(QChar::toLower(char32_t(letter)));
    const QList<xcb_keycode_t> codes = keyCodesOf(symbols, symbol);
    const std::uint16_t numLock = numLockMask(connection, symbols);
    xcb_key_symbols_free(symbols);
    m_lockMask = std::uint16_t(XCB_MOD_MASK_LOCK | numLock);

    const std::uint16_t locks[] = { 0, XCB_MOD_MASK_LOCK, numLock,
                                    std::uint16_t(XCB_MOD_MASK_LOCK | numLock) };
    bool taken = codes.isEmpty();
    for (xcb_keycode_t code : codes) {
        for (std::uint16_t lock : locks) {
            const std::uint16_t modifiers = std::uint16_t(XCB_MOD_MASK_CONTROL | lock);
            const xcb_void_cookie_t cookie = xcb_grab_key_checked(
                connection, 1, m_root, modifiers, code, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
            // Another client holding the combination answers BadAccess.
            const XcbReply<xcb_generic_error_t> error(xcb_request_check(connection, cookie));
            if (error)
                taken = true;
            else
                m_grabs.append({ code, modifiers });
        }
    }
    if (taken) {
        ungrab();
        setState(State::Taken);
        return;
    }
    QCoreApplication::instance()->installNativeEventFilter(this);
    setState(State::Registered);
}

void GlobalHotKeyX11::ungrab()
{
    if (QCoreApplication::instance() != nullptr)
        QCoreApplication::instance()->removeNativeEventFilter(this);
    xcb_connection_t* connection = x11Connection();
    if (connection != nullptr) {
        for (const Grab& grab : std::as_const(m_grabs))
            xcb_ungrab_key(connection, grab.keyCode, m_root, grab.modifiers);
        xcb_flush(connection);
    }
    m_grabs.clear();
}

bool GlobalHotKeyX11::nativeEventFilter(const QByteArray& eventType, void* message,
                                        qintptr* /*result*/)
{
    if (eventType != "xcb_generic_event_t" || m_grabs.isEmpty())
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_KEY_PRESS)
        return false;
    const auto* press = static_cast<const xcb_key_press_event_t*>(message);
    // The lock keys and the mouse buttons do not count.
    const std::uint16_t keyModifiers =
        XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;
    const std::uint16_t held = press->state & keyModifiers & ~m_lockMask;
    for (const Grab& grab : std::as_const(m_grabs)) {
        if (press->detail == grab.keyCode && held == XCB_MOD_MASK_CONTROL &&
            press->event == m_root) {
            // Later, outside Qt's event dispatch: the capture grabs the screen.
            QMetaObject::invokeMethod(this, &GlobalHotKey::activated, Qt::QueuedConnection);
            return true;
        }
    }
    return false;
}
