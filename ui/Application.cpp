#include "ui/Application.h"

#include "ui/About.h"
#include "ui/Addpopup.h"
#include "ui/AppIcon.h"
#include "ui/DeferredIcons.h"
#include "ui/Del.h"
#include "ui/Effects.h"
#include "ui/Effects1.h"
#include "ui/EmptyTitles.h"
#include "ui/FontFamilies.h"
#include "ui/Main.h"
#include "ui/Memo.h"
#include "ui/Messages.h"
#include "ui/New.h"
#include "ui/Picture.h"
#include "ui/Preview.h"
#include "ui/Reformat.h"
#include "ui/ToolWindowAccessible.h"
#include "ui/UserDialogs.h"

#include <QEvent>
#include <QIcon>
#include <QLibraryInfo>
#include <QPixmap>
#include <QTranslator>
#include <exception>
#include <functional>
#include <utility>

PurlwiseApplication::PurlwiseApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
    // No display name: Qt would add it to every title. Title bars read exactly their captions.
    setApplicationName(QString::fromLatin1(ApplicationTitle));
    setDesktopFileName(QStringLiteral("org.purlwise.Purlwise"));
    setStyle(new DeferredIconStyle);
    keepEmptyTitlesEmpty(*this);
    // The built-in pictures, the same the installation puts in the icon theme:
    // looking the icon up in the theme would read the theme's whole index (under
    // X, thousands of lines of hicolor's) at every start. Desktops that show the
    // menu entry's icon find the installed one through the desktop file name.
    QIcon icon;
    for (int size : { 16, 32, 48 })
        icon.addPixmap(QPixmap::fromImage(applicationIcon(size)));
    setWindowIcon(icon);
    // The windows are laid out for a small 8-point face. No style hint: the
    // controls inherit it, and it would override the families they name.
    setFont(QFont(resolvedFamily(QStringLiteral("MS Sans Serif")), 8));
}

bool PurlwiseApplication::notify(QObject *receiver, QEvent *event)
{
    // An exception that escapes a handler is reported and the program goes on.
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &error) {
        if (m_dialogs)
            ShowErrorReport(*m_dialogs, QString::fromLocal8Bit(error.what()));
    } catch (...) {
        if (m_dialogs)
            ShowErrorReport(*m_dialogs, Messages::UnknownError);
    }
    return false;
}

bool InstallRussianTranslations(QCoreApplication &app)
{
    auto *translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral("qtbase_ru"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

namespace {

// Runs a call once, from the event loop, after the first paint of the watched window.
class FirstPaintWatch : public QObject {
public:
    FirstPaintWatch(QWidget *window, std::function<void()> call)
        : m_call(std::move(call))
    {
        window->installEventFilter(this);
    }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && m_call) {
            watched->removeEventFilter(this);
            // Queued: the rest of the frame is painted and shown first.
            QMetaObject::invokeMethod(this, std::exchange(m_call, {}), Qt::QueuedConnection);
        }
        return false;
    }

private:
    std::function<void()> m_call;
};

// Until the other ten windows exist, the first press, key or shortcut for the
// main window makes them before it reaches any handler, so no handler meets a
// missing window.
class EarlyInputGuard : public QObject {
public:
    // `make` returns false when the windows could not be made; the main
    // window's input is then dropped (a report box of the failure still gets its own).
    EarlyInputGuard(const QWidget &main, std::function<bool()> make)
        : m_main(main)
        , m_make(std::move(make))
    {
        QCoreApplication::instance()->installEventFilter(this);
    }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!forMainWindow(watched))
            return false;
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::NonClientAreaMouseButtonPress:
        case QEvent::KeyPress:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TabletPress:
            break;
        default:
            return false;
        }
        if (!m_make())
            return true;
        QCoreApplication::instance()->removeEventFilter(this);
        return false;
    }

private:
    // Shortcuts go to actions, whose parents are menus, whose parents lead to
    // the window; a dialog on top of it is a window of its own.
    bool forMainWindow(const QObject *receiver) const
    {
        for (const QObject *object = receiver; object; object = object->parent()) {
            if (object == &m_main)
                return true;
            const auto *widget = qobject_cast<const QWidget *>(object);
            if (widget && widget->isWindow() && widget->windowType() != Qt::Popup)
                return false;
        }
        return false;
    }

    const QWidget &m_main;
    std::function<bool()> m_make;
};

// Every new widget asks to be styled from the event loop. The companions stay
// hidden until wanted, and showing a window styles it and all it holds, so
// start-up need not style ten windows nobody sees yet.
void styleWhenShown(QWidget &window)
{
    if (window.isVisible())
        return;
    QCoreApplication::removePostedEvents(&window, QEvent::PolishRequest);
    for (QWidget *child : window.findChildren<QWidget *>())
        QCoreApplication::removePostedEvents(child, QEvent::PolishRequest);
}

void releaseWindows(std::unique_ptr<TMainForm> &main)
{
    main.reset(); // takes the other ten with it
    MainForm = nullptr; // a main window that failed halfway never cleared it
    NewForm = nullptr;
    EffectsForm = nullptr;
    DisplayForm = nullptr;
    ReFormatForm = nullptr;
    AboutForm = nullptr;
    PictureForm = nullptr;
    PreviewForm = nullptr;
    AddFromPopupForm = nullptr;
    DelForm = nullptr;
    MemoForm = nullptr;
}

} // namespace

ApplicationWindows::ApplicationWindows(UserDialogs &dialogs, Companions when, std::function<void(QWidget &)> made)
    : m_dialogs(dialogs)
    , m_made(std::move(made))
{
    const bool mainMade = attempt([this] {
        m_main = std::make_unique<TMainForm>(m_dialogs);
        if (m_made)
            m_made(*m_main);
    });
    if (!mainMade)
        return;
    if (when == Companions::Now) {
        createCompanions();
        return;
    }
    m_firstPaintWatch = std::make_unique<FirstPaintWatch>(m_main.get(), [this] {
        createCompanions();
        if (!created())
            QCoreApplication::quit();
    });
    m_earlyInputGuard = std::make_unique<EarlyInputGuard>(*m_main, [this] {
        if (!m_companions) {
            // The input's receiver lives in the main window: a failure keeps the
            // windows until the loop has ended rather than release them under it.
            m_releaseOnFailure = false;
            createCompanions();
            if (!m_companionsMade)
                QCoreApplication::quit();
        }
        return m_companionsMade;
    });
}

bool ApplicationWindows::attempt(const std::function<void()> &make)
{
    // A failure here goes to the general error report like any other; with
    // no windows left, the program then ends.
    try {
        make();
        return true;
    } catch (const std::exception &error) {
        if (m_releaseOnFailure)
            releaseWindows(m_main);
        ShowErrorReport(m_dialogs, QString::fromLocal8Bit(error.what()));
    } catch (...) {
        if (m_releaseOnFailure)
            releaseWindows(m_main);
        ShowErrorReport(m_dialogs, Messages::UnknownError);
    }
    return false;
}

void ApplicationWindows::createCompanions()
{
    if (m_companions || !m_main)
        return;
    m_companions = true;
    m_companionsMade = attempt([this] {
        const auto step = [this](QWidget *window) {
            styleWhenShown(*window);
            if (m_made)
                m_made(*window);
        };
        TMainForm &owner = *m_main;
        presentToolWindowsAsWindows();
        step(NewForm = new TNewForm(owner, m_dialogs));
        step(EffectsForm = new TEffectsForm(&owner));
        step(DisplayForm = new TDisplayForm(&owner));
        step(ReFormatForm = new TReFormatForm(owner, m_dialogs));
        step(AboutForm = new TAboutForm(&owner));
        step(PictureForm = new TPictureForm(m_dialogs, &owner));
        step(PreviewForm = new TPreviewForm(owner, m_dialogs));
        step(AddFromPopupForm = new TAddFromPopupForm(owner, m_dialogs));
        step(DelForm = new TDelForm(owner));
        step(MemoForm = new TMemoForm(&owner));
        owner.connectCompanionWindows();
    });
    if (created() && m_whenComplete)
        QMetaObject::invokeMethod(m_main.get(), std::exchange(m_whenComplete, {}), Qt::QueuedConnection);
}

void ApplicationWindows::whenComplete(std::function<void()> call)
{
    m_whenComplete = std::move(call);
    if (m_companions && created())
        QMetaObject::invokeMethod(m_main.get(), std::exchange(m_whenComplete, {}), Qt::QueuedConnection);
}

ApplicationWindows::~ApplicationWindows()
{
    m_firstPaintWatch.reset();
    m_earlyInputGuard.reset();
    releaseWindows(m_main);
}
