#include "ui/MoveOnlyWindow.h"

#include <QEvent>
#include <QGuiApplication>
#include <QWidget>

#include <array>
#include <cstdint>
#include <xcb/xcb.h>

namespace {

// The Motif window manager hints: flags, functions, decorations, input mode, status.
constexpr std::uint32_t HasFunctions = 1u << 0;
constexpr std::uint32_t HasDecorations = 1u << 1;
constexpr std::uint32_t FunctionMove = 1u << 2;

class MoveOnlyHint : public QObject {
public:
    MoveOnlyHint(QWidget &window, xcb_connection_t *connection)
        : QObject(&window)
        , m_connection(connection)
    {
        const char name[] = "_MOTIF_WM_HINTS";
        const xcb_intern_atom_cookie_t cookie = xcb_intern_atom(connection, 0, sizeof name - 1, name);
        xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(connection, cookie, nullptr);
        m_atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        free(reply);
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // Qt writes its own hints when it creates the native window; the show
        // event comes after that and before the window is mapped.
        auto *window = static_cast<QWidget *>(watched);
        if (event->type() == QEvent::Show && m_atom != XCB_ATOM_NONE && window->testAttribute(Qt::WA_WState_Created)) {
            const std::array<std::uint32_t, 5> hints { HasFunctions | HasDecorations, FunctionMove, 0, 0, 0 };
            xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, xcb_window_t(window->winId()), m_atom, m_atom,
                32, hints.size(), hints.data());
            xcb_flush(m_connection);
        }
        return false;
    }

private:
    xcb_connection_t *m_connection;
    xcb_atom_t m_atom = XCB_ATOM_NONE;
};

} // namespace

void askToOnlyMove(QWidget &window)
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection())
        return;
    new MoveOnlyHint(window, x11->connection());
}
