#pragma once
// Puts a top-level window's outer rectangle (frame included) where the design
// wants it. The frame's size is known only once the window manager has framed
// the window, after it is mapped, so the geometry is set again the moment the
// frame becomes known or changes.

#include <QMargins>
#include <QObject>
#include <QRect>
#include <functional>

class QWidget;

class WindowPlacement : public QObject {
public:
    enum class When {
        FirstShowing, // placed once; afterwards the window stays where the user leaves it
        EveryShowing, // placed again each time it is shown and each time it is resized
    };
    // `outer` gives the frame rectangle for the frame margins it is passed.
    // A fixed window cannot be resized by the user.
    WindowPlacement(QWidget &window, When when, bool fixed, std::function<QRect(const QMargins &frame)> outer);

    // Places the window now, with the frame as far as it is known.
    void place();
    static QMargins frameMargins(const QWidget &window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget &m_window;
    When m_when;
    bool m_fixed;
    std::function<QRect(const QMargins &)> m_outer;
    QObject *m_handle = nullptr;
    QMargins m_frame; // the margins of the last placement
    bool m_shown = false;
    bool m_settled = false; // placed with the window manager's frame: leave it to the user now
    bool m_placing = false;
};

// The part of the window's screen not taken by panels and docks.
QRect workArea(const QWidget &window);
