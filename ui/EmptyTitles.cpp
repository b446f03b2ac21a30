#include "ui/EmptyTitles.h"

#include <QGuiApplication>
#include <QWidget>

#include <xcb/xcb.h>

namespace {

xcb_atom_t internAtom(xcb_connection_t *connection, const char *name)
{
    const xcb_intern_atom_cookie_t cookie = xcb_intern_atom(connection, 0, uint16_t(qstrlen(name)), name);
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return atom;
}

class EmptyTitleKeeper : public QObject {
public:
    EmptyTitleKeeper(QCoreApplication &app, xcb_connection_t *connection)
        : QObject(&app)
        , m_connection(connection)
        , m_netWmName(internAtom(connection, "_NET_WM_NAME"))
        , m_utf8String(internAtom(connection, "UTF8_STRING"))
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // Qt writes the title when the window is created and whenever it changes;
        // both come before these events, and before the window is mapped.
        const QEvent::Type type = event->type();
        if ((type == QEvent::Show || type == QEvent::WindowTitleChange) && watched->isWidgetType()) {
            auto *window = static_cast<QWidget *>(watched);
            if (window->isWindow() && window->windowTitle().isEmpty() && window->testAttribute(Qt::WA_WState_Created))
                clearTitle(xcb_window_t(window->winId()));
        }
        return false;
    }

private:
    void clearTitle(xcb_window_t window)
    {
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, 0, "");
        if (m_netWmName != XCB_ATOM_NONE && m_utf8String != XCB_ATOM_NONE)
            xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, m_netWmName, m_utf8String, 8, 0, "");
        xcb_flush(m_connection);
    }

    xcb_connection_t *m_connection;
    xcb_atom_t m_netWmName;
    xcb_atom_t m_utf8String;
};

} // namespace

void keepEmptyTitlesEmpty(QCoreApplication &app)
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection())
        return;
    app.installEventFilter(new EmptyTitleKeeper(app, x11->connection()));
}
