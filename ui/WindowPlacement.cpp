#include "ui/WindowPlacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

WindowPlacement::WindowPlacement(
    QWidget &window, When when, bool fixed, std::function<QRect(const QMargins &frame)> outer)
    : QObject(&window)
    , m_window(window)
    , m_when(when)
    , m_fixed(fixed)
    , m_outer(std::move(outer))
{
    window.installEventFilter(this);
}

QMargins WindowPlacement::frameMargins(const QWidget &window)
{
    if (const QWindow *handle = window.windowHandle(); handle && window.isVisible())
        return handle->frameMargins();
    return {};
}

void WindowPlacement::place()
{
    if (m_placing)
        return;
    m_placing = true;
    m_frame = frameMargins(m_window);
    const QRect client = m_outer(m_frame).marginsRemoved(m_frame);
    if (m_fixed)
        m_window.setFixedSize(client.size());
    if (m_window.geometry() != client)
        m_window.setGeometry(client);
    m_placing = false;
}

bool WindowPlacement::eventFilter(QObject *watched, QEvent *event)
{
    if (m_placing)
        return false;
    if (watched != &m_window) {
        // The first exposure comes once the window manager has framed the window.
        if (event->type() == QEvent::Expose && m_shown && !m_settled && frameMargins(m_window) != m_frame) {
            place();
            m_settled = m_when == When::FirstShowing && !m_frame.isNull();
        }
        return false;
    }
    switch (event->type()) {
    case QEvent::Show:
        if (QWindow *handle = m_window.windowHandle(); handle && handle != m_handle) {
            m_handle = handle;
            handle->installEventFilter(this);
        }
        if (m_when == When::EveryShowing || !m_shown)
            place();
        m_shown = true;
        break;
    case QEvent::Resize:
        if (m_when == When::EveryShowing && m_window.isVisible()) {
            place();
            break;
        }
        [[fallthrough]];
    case QEvent::Move:
        // The window manager framed the window: its frame is known only now.
        if (m_shown && !m_settled && frameMargins(m_window) != m_frame) {
            place();
            m_settled = m_when == When::FirstShowing && !m_frame.isNull();
        }
        break;
    default:
        break;
    }
    return false;
}

QRect workArea(const QWidget &window)
{
    const QScreen *screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}
