#include "ui/Application.h"

#include "ui/About.h"
#include "ui/Addpopup.h"
#include "ui/Del.h"
#include "ui/Effects.h"
#include "ui/Effects1.h"
#include "ui/Main.h"
#include "ui/Memo.h"
#include "ui/New.h"
#include "ui/Picture.h"
#include "ui/Preview.h"
#include "ui/Reformat.h"
#include "ui/UserDialogs.h"

#include <QEvent>
#include <QLibraryInfo>
#include <QTranslator>
#include <exception>
#include <functional>
#include <utility>

QString ErrorReportText(const QString &text)
{
    if (!text.isEmpty() && text.back().unicode() > u'.')
        return text + QLatin1Char('.');
    return text;
}

void ShowErrorReport(UserDialogs &dialogs, const QString &text)
{
    dialogs.message(QApplication::activeWindow(), QString::fromLatin1(ApplicationTitle), ErrorReportText(text),
        QMessageBox::Ok, UserDialogs::Icon::Critical);
}

PurlwiseApplication::PurlwiseApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
    setApplicationName(QString::fromLatin1(ApplicationTitle));
    setApplicationDisplayName(QString::fromLatin1(ApplicationTitle));
    // The windows are laid out for a small 8-point sans-serif face.
    QFont face(QStringLiteral("MS Sans Serif"), 8);
    face.setStyleHint(QFont::SansSerif);
    setFont(face);
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
            ShowErrorReport(*m_dialogs, QStringLiteral("Неизвестная ошибка"));
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

} // namespace

ApplicationWindows::ApplicationWindows(UserDialogs &dialogs, Companions when)
{
    m_main = std::make_unique<TMainForm>(dialogs);
    if (when == Companions::Now)
        createCompanions();
    else
        m_firstPaintWatch = std::make_unique<FirstPaintWatch>(m_main.get(), [this] { createCompanions(); });
}

void ApplicationWindows::createCompanions()
{
    if (m_companions)
        return;
    m_companions = true;
    // The order matters: later windows refer to the main window from their creation on.
    TMainForm *owner = m_main.get();
    NewForm = new TNewForm(owner);
    EffectsForm = new TEffectsForm(owner);
    DisplayForm = new TDisplayForm(owner);
    ReFormatForm = new TReFormatForm(owner);
    AboutForm = new TAboutForm(owner);
    PictureForm = new TPictureForm(owner);
    PreviewForm = new TPreviewForm(owner);
    AddFromPopupForm = new TAddFromPopupForm(owner);
    DelForm = new TDelForm(owner);
    MemoForm = new TMemoForm(owner);
    owner->connectCompanionWindows();
}

ApplicationWindows::~ApplicationWindows()
{
    m_firstPaintWatch.reset();
    m_main.reset(); // takes the other ten with it
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
