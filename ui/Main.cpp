#include "ui/Main.h"

#include "ui/About.h"
#include "ui/ColourConversion.h"
#include "ui/Effects.h"
#include "ui/Effects1.h"
#include "ui/FontFamilies.h"
#include "ui/FromPicture.h"
#include "ui/GridView.h"
#include "ui/Memo.h"
#include "ui/Messages.h"
#include "ui/New.h"
#include "ui/PaletteSwatch.h"
#include "ui/Picture.h"
#include "ui/Preview.h"
#include "ui/ToolBarImages.h"
#include "ui/TwoStateToolButton.h"
#include "ui/UserDialogs.h"
#include "ui/WindowPlacement.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolButton>

TMainForm *MainForm = nullptr;

namespace {

constexpr int ToolBarHeight = 26;
constexpr int ScrollBoxTop = 32;
constexpr int StatusBarHeight = 20;
constexpr int ToolButtonWidth = 23;
constexpr int ToolButtonHeight = 22;
constexpr int ToolButtonTop = 2;

} // namespace

TMainForm::TMainForm(UserDialogs &dialogs, QWidget *parent)
    : QMainWindow(parent)
    , m_dialogs(dialogs)
{
    MainForm = this;
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Проектировщик рисунков для вязальной машины"));
    // Fixed border: system menu, Minimize and the close box; no Maximize.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
        | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    resize(792, 526);
    // The whole work area, frame included, on every showing and every resize.
    m_placement = new WindowPlacement(
        *this, WindowPlacement::When::EveryShowing, true, [this](const QMargins &) { return workArea(*this); });

    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("ClientArea"));
    m_client->installEventFilter(this);
    setCentralWidget(m_client);

    buildMenus();
    buildToolBar();

    MainScrollBox = new GridView(m_client);
    MainScrollBox->setPattern(&Pattern);
    connectGridView();

    StatusBar = new QStatusBar(m_client);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(false);
    const int panelWidths[3] = { 83, 30, 50 };
    const QString panelTexts[3] = { QStringLiteral("Размер ячейки:"), QStringLiteral(" "), QString() };
    for (int i = 0; i < 3; ++i) {
        StatusPanels[i] = new QLabel(panelTexts[i], StatusBar);
        StatusPanels[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        // Never narrower than its text, whatever the font.
        StatusPanels[i]->setMinimumWidth(panelWidths[i]);
        StatusPanels[i]->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        StatusPanels[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        StatusBar->addWidget(StatusPanels[i]);
    }
    // The cell size panel is read out as the number it shows; this says what it is.
    StatusPanels[1]->setAccessibleDescription(QStringLiteral("Размер ячейки"));

    setAcceptDrops(true);
    UndoJournal.clear();
    FormCreate();
    DisableEditor();
    layoutClientArea();
}

TMainForm::~TMainForm()
{
    if (MainForm == this)
        MainForm = nullptr;
}

void TMainForm::buildMenus()
{
    auto addItem = [this](QMenu *menu, const char *name, const QString &caption, QKeySequence shortcut, int image,
                       void (TMainForm::*handler)()) {
        QAction *action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        if (!shortcut.isEmpty())
            action->setShortcut(shortcut);
        if (image >= 0)
            action->setIcon(toolBarIcon(ToolBarImage(image)));
        connect(action, &QAction::triggered, this, handler);
        return action;
    };

    MenuFile = menuBar()->addMenu(QStringLiteral("&Файл"));
    MenuFile->setObjectName(QStringLiteral("MenuFile"));
    MenuNew = addItem(
        MenuFile, "MenuNew", QStringLiteral("&Новый"), QKeySequence(Qt::CTRL | Qt::Key_N), 0, &TMainForm::MenuNewClick);
    MenuOpen = addItem(MenuFile, "MenuOpen", QStringLiteral("&Открыть"), QKeySequence(Qt::CTRL | Qt::Key_O), 1,
        &TMainForm::MenuOpenClick);
    MenuSave = MenuFile->addAction(toolBarIcon(ToolBarImage::Save), QStringLiteral("&Сохранить"));
    MenuSave->setObjectName(QStringLiteral("MenuSave"));
    MenuSave->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    connect(MenuSave, &QAction::triggered, this, [this] { MenuSaveClick(); });
    MenuFile->addSeparator()->setObjectName(QStringLiteral("N5"));
    MenuPrintSetup = addItem(
        MenuFile, "MenuPrintSetup", QStringLiteral("Настройка принтера..."), {}, -1, &TMainForm::MenuPrintSetupClick);
    MenuPrint = addItem(MenuFile, "MenuPrint", QStringLiteral("&Печать"), QKeySequence(Qt::CTRL | Qt::Key_P), 4,
        &TMainForm::PreviewMenuClick);
    MenuFile->addSeparator()->setObjectName(QStringLiteral("N7"));
    MenuExit = addItem(MenuFile, "MenuExit", QStringLiteral("&Выход"), {}, 7, &TMainForm::MenuExitClick);

    MenuView = menuBar()->addMenu(QStringLiteral("&Просмотр"));
    MenuView->setObjectName(QStringLiteral("MenuView"));
    PreviewMenu
        = addItem(MenuView, "PreviewMenu", QStringLiteral("&Во весь экран"), {}, 3, &TMainForm::PreviewMenuClick);

    MenuEdit = menuBar()->addMenu(QStringLiteral("П&равка"));
    MenuEdit->setObjectName(QStringLiteral("MenuEdit"));
    UndoMenu = addItem(MenuEdit, "UndoMenu", QStringLiteral("&Отмена действия"), QKeySequence(Qt::CTRL | Qt::Key_Z), -1,
        &TMainForm::UndoMenuClick);
    PicSizeMenu = addItem(MenuEdit, "PicSizeMenu", QStringLiteral("&Размер рисунка"),
        QKeySequence(Qt::CTRL | Qt::Key_Q), -1, &TMainForm::PicSizeMenuClick);

    MenuEffects = menuBar()->addMenu(QStringLiteral("&Эффекты"));
    MenuEffects->setObjectName(QStringLiteral("MenuEffects"));
    CB1Menu = addItem(MenuEffects, "CB1Menu", QStringLiteral("KR-&970  (CB-1)"), {}, -1, &TMainForm::CB1MenuClick);
    CB1Menu->setCheckable(true);

    // A top-level item without a submenu.
    MenuAbout = menuBar()->addAction(QStringLiteral("&О программе"));
    MenuAbout->setObjectName(QStringLiteral("MenuAbout"));
    connect(MenuAbout, &QAction::triggered, this, &TMainForm::MenuAboutClick);

    for (QAction *action : { MenuSave, MenuPrint, PreviewMenu, UndoMenu, PicSizeMenu, CB1Menu })
        action->setEnabled(false);
}

void TMainForm::buildToolBar()
{
    ToolBar = new QWidget(m_client);
    ToolBar->setObjectName(QStringLiteral("ToolBar"));
    ToolBar->setAccessibleName(QStringLiteral("Панель инструментов"));

    auto addButton = [this](const char *name, int x, ToolBarImage image, const QString &hint, bool twoState = false) {
        QToolButton *button = twoState ? new TwoStateToolButton(ToolBar) : new QToolButton(ToolBar);
        button->setObjectName(QString::fromLatin1(name));
        button->setGeometry(x, ToolButtonTop, ToolButtonWidth, ToolButtonHeight);
        button->setIcon(toolBarIcon(image));
        button->setIconSize(QSize(16, 16));
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setToolTip(hint);
        button->setAccessibleName(hint);
        return button;
    };
    auto addSeparator = [this](int x, int width) {
        auto *line = new QFrame(ToolBar);
        line->setFrameStyle(QFrame::VLine | QFrame::Sunken);
        line->setGeometry(x + width / 2 - 1, ToolButtonTop, 2, ToolButtonHeight);
    };

    NewToolButn = addButton("NewToolButn", 0, ToolBarImage::New, QStringLiteral("Создать новый рисунок"));
    OpenToolButn = addButton("OpenToolButn", 23, ToolBarImage::Open, QStringLiteral("Открыть рисунок"));
    SaveToolButn = addButton("SaveToolButn", 46, ToolBarImage::Save, QStringLiteral("Сохранить рисунок"));
    addSeparator(69, 28);

    CBZoom = new QComboBox(ToolBar);
    CBZoom->setObjectName(QStringLiteral("CBZoom"));
    CBZoom->setGeometry(97, ToolButtonTop, 63, ToolButtonHeight);
    CBZoom->addItems({ "10", "25", "50", "100", "150", "200", "500" });
    CBZoom->setCurrentIndex(3);
    CBZoom->setMaxVisibleItems(10);
    CBZoom->setToolTip(QStringLiteral("Масштаб"));
    CBZoom->setAccessibleName(CBZoom->toolTip());

    auto addZoomButton = [this](const char *name, int x, const QString &caption, const QString &hint) {
        auto *button = new QPushButton(caption, ToolBar);
        button->setObjectName(QString::fromLatin1(name));
        button->setGeometry(x, ToolButtonTop, 20, 22);
        button->setFocusPolicy(Qt::NoFocus);
        button->setToolTip(hint);
        // The caption is a bare sign; the hint says what it does.
        button->setAccessibleName(hint);
        QFont font(resolvedFamily(QStringLiteral("Arial Black")));
        font.setPixelSize(16);
        font.setBold(true);
        button->setFont(font);
        return button;
    };
    BZoomPlus = addZoomButton("BZoomPlus", 160, QStringLiteral("+"), QStringLiteral("Увеличить масштаб"));
    QPalette navy = BZoomPlus->palette();
    navy.setColor(QPalette::Active, QPalette::ButtonText, QColor(0, 0, 128));
    navy.setColor(QPalette::Inactive, QPalette::ButtonText, QColor(0, 0, 128));
    BZoomPlus->setPalette(navy);
    BZoomMinus = addZoomButton("BZoomMinus", 180, QStringLiteral("-"), QStringLiteral("Уменьшить масштаб"));
    addSeparator(200, 33);

    PreviewToolButn
        = addButton("PreviewToolButn", 233, ToolBarImage::Preview, QStringLiteral("Предварительный просмотр"));
    addSeparator(256, 21);

    for (int slot = 1; slot <= model::PaletteSize; ++slot) {
        auto *swatch = new PaletteSwatch(slot, ToolBar);
        swatch->move(277 + (slot - 1) * 22, ToolButtonTop);
        Panels[slot - 1] = swatch;
        connect(swatch, &PaletteSwatch::clicked, this, &TMainForm::Panel1Click);
        connect(swatch, &PaletteSwatch::doubleClicked, this, &TMainForm::Panel1DblClick);
        connect(swatch, &PaletteSwatch::mousePressed, this, &TMainForm::Panel1MouseDown);
    }
    addSeparator(629, 17);

    MemoButn = addButton("MemoButn", 646, ToolBarImage::Notes, QStringLiteral("Окно текста"), true);
    addSeparator(669, 17);
    ShowHidePictureButton = addButton(
        "ShowHidePictureButton", 686, ToolBarImage::Picture, QStringLiteral("Показать/Спрятать окно рисунка"), true);
    addSeparator(709, 8);

    connect(NewToolButn, &QToolButton::clicked, this, &TMainForm::MenuNewClick);
    connect(OpenToolButn, &QToolButton::clicked, this, &TMainForm::MenuOpenClick);
    connect(SaveToolButn, &QToolButton::clicked, this, [this] { MenuSaveClick(); });
    connect(CBZoom, &QComboBox::activated, this, [this] { CBZoomChange(); });
    connect(BZoomPlus, &QPushButton::clicked, this, &TMainForm::BZoomPlusClick);
    connect(BZoomMinus, &QPushButton::clicked, this, &TMainForm::BZoomMinusClick);
    connect(PreviewToolButn, &QToolButton::clicked, this, &TMainForm::PreviewMenuClick);
    connect(MemoButn, &QToolButton::clicked, this, &TMainForm::MemoButnClick);
    connect(ShowHidePictureButton, &QToolButton::clicked, this, &TMainForm::ShowHidePictureButtonClick);

    for (QWidget *control : std::initializer_list<QWidget *> {
             SaveToolButn, CBZoom, BZoomPlus, BZoomMinus, PreviewToolButn, MemoButn, ShowHidePictureButton })
        control->setEnabled(false);
}

void TMainForm::FormCreate()
{
    setCellPitch(20);
    LoadYarnList();
}

// ---- Unsaved changes ------------------------------------------------------

bool TMainForm::Modified() const
{
    return SaveToolButn->isEnabled();
}

void TMainForm::SetModified()
{
    if (!SaveToolButn->isEnabled())
        SaveToolButn->setEnabled(true);
}

void TMainForm::ClearModified()
{
    SaveToolButn->setEnabled(false);
}

model::Palette TMainForm::yarnPalette() const
{
    model::Palette colours;
    for (int i = 0; i < model::PaletteSize; ++i)
        colours[i] = Panels[i]->color();
    return colours;
}

void TMainForm::setYarnPalette(const model::Palette &colours)
{
    for (int i = 0; i < model::PaletteSize; ++i)
        Panels[i]->setColor(colours[i]);
}

// ---- Layout ------------------------------------------------------------------

bool TMainForm::event(QEvent *event)
{
    // Being shown counts as the first resize: the window takes the desktop at once.
    if (event->type() == QEvent::Show)
        FormResize();
    return QMainWindow::event(event);
}

bool TMainForm::eventFilter(QObject *watched, QEvent *event)
{
    // The client area gets its final size from the window's layout, after the window's own resize.
    if (watched == m_client && event->type() == QEvent::Resize)
        layoutClientArea();
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TMainForm::FormResize()
{
    m_placement->place();
    layoutClientArea();
}

void TMainForm::layoutClientArea()
{
    const int width = m_client->width();
    const int height = m_client->height();
    ToolBar->setGeometry(0, 0, width, ToolBarHeight);
    StatusBar->setGeometry(0, height - StatusBarHeight, width, StatusBarHeight);
    MainScrollBox->setGeometry(0, ScrollBoxTop, width, std::max(0, height - ScrollBoxTop - StatusBarHeight));
}

// ---- Closing -----------------------------------------------------------------

bool TMainForm::AskToSaveBeforeLeaving(const QString &caption, UserDialogs::Icon icon)
{
    const auto answer = m_dialogs.message(
        this, caption, Messages::SaveQuestion, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, icon);
    if (answer == QMessageBox::Yes)
        return MenuSaveClick(); // a save that did not complete stops the command
    return answer == QMessageBox::No;
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    if (Pattern.exists() && Modified()) {
        if (!AskToSaveBeforeLeaving(Messages::ExitCaption, UserDialogs::Icon::Question)) {
            event->ignore();
            return;
        }
        model::Discard(Pattern);
    }
    event->accept();
    emit closedForGood();
}

void TMainForm::MenuExitClick()
{
    close();
}

// ---- New and the editor state ---------------------------------------------------

bool TMainForm::LeaveForNewPattern()
{
    if (Pattern.exists()) {
        if (!AskToSaveBeforeLeaving(Messages::NewPatternCaption, UserDialogs::Icon::Question))
            return false;
        model::Discard(Pattern);
    }
    return true;
}

bool TMainForm::AdoptNewPattern(model::Pattern pattern, const model::Palette &palette)
{
    if (!LeaveForNewPattern())
        return false;
    Pattern = std::move(pattern);
    ResetPalette();
    setYarnPalette(palette);
    CurrentColor = model::White;
    PrepareEditor();
    SetModified();
    return true;
}

void TMainForm::MakePatternFromPicture(const QImage &picture)
{
    if (picture.isNull())
        return;
    if (!FromPictureForm)
        FromPictureForm = new TFromPictureForm(m_dialogs, this);
    FromPictureForm->setPicture(picture);
    if (m_dialogs.runModal(*FromPictureForm) != QDialog::Accepted || !FromPictureForm->Result)
        return;
    model::PatternFromPicture made = std::move(*FromPictureForm->Result);
    FromPictureForm->Result.reset();
    AdoptNewPattern(std::move(made.pattern), made.palette);
}

void TMainForm::MenuNewClick()
{
    if (!LeaveForNewPattern())
        return;
    NewForm->ModalResult = 0;
    m_dialogs.runModal(*NewForm);
    if (NewForm->ModalResult == 1) {
        NewForm->ModalResult = 0;
        ResetPalette();
        CurrentColor = model::White;
        PrepareEditor();
    } else {
        DisableEditor();
    }
}

void TMainForm::ResetPalette()
{
    for (PaletteSwatch *swatch : Panels)
        swatch->setColor(model::White);
    if (DisplayForm)
        DisplayForm->setSwatchColor(model::White);
}

void TMainForm::Panel1Click(PaletteSwatch *swatch)
{
    CurrentColor = swatch->color();
    if (DisplayForm)
        DisplayForm->setSwatchColor(CurrentColor);
}

void TMainForm::Panel1DblClick(PaletteSwatch *swatch)
{
    const std::optional<QColor> chosen = m_dialogs.chooseColor(this, m_colorDialogColor);
    if (!chosen)
        return;
    m_colorDialogColor = *chosen;
    Recolour(swatch, fromQColor(*chosen));
}

void TMainForm::EnablePalette(bool enabled)
{
    for (PaletteSwatch *swatch : Panels)
        swatch->setEnabled(enabled);
}

void TMainForm::PrepareEditor()
{
    CurrentColor = model::White;
    ClearModified();
    PreviewToolButn->setEnabled(true);
    CBZoom->setEnabled(true);
    {
        const QSignalBlocker quiet(CBZoom);
        CBZoom->setCurrentIndex(3);
    }
    BZoomPlus->setEnabled(true);
    BZoomMinus->setEnabled(true);
    MemoButn->setEnabled(true);
    if (MemoForm)
        MemoForm->Memo->setEnabled(true);
    ShowHidePictureButton->setEnabled(true);
    for (QAction *action : { MenuSave, MenuPrint, PicSizeMenu, PreviewMenu })
        action->setEnabled(true);
    PatternOpen = true;
    setCellPitch(20);
    if (MemoForm)
        MemoForm->setNotesText(QString());
    EnablePalette(true);
    RefreshAfterTransform();
    // A new pattern is shown from its first stitch, whatever was scrolled before.
    MainScrollBox->horizontalScrollBar()->setValue(0);
    CB1Menu->setEnabled(true);
    if (EffectsForm)
        EffectsForm->setOperationsEnabled(true);
    if (DisplayForm) {
        // The swatch shows what a left press paints, even when the palette kept another colour.
        DisplayForm->setSwatchColor(CurrentColor);
        DisplayForm->show();
    }
}

void TMainForm::DisableEditor()
{
    for (QWidget *control : std::initializer_list<QWidget *> { SaveToolButn, PreviewToolButn, CBZoom, MemoButn })
        control->setEnabled(false);
    for (QAction *action : { MenuPrint, MenuSave, PicSizeMenu, PreviewMenu })
        action->setEnabled(false);
    if (EffectsForm) {
        EffectsForm->hide();
        EffectsForm->setOperationsEnabled(false);
    }
    if (PictureForm)
        PictureForm->hide();
    ShowHidePictureButton->setEnabled(false);
    EnablePalette(false);
    ResetPalette();
    if (DisplayForm)
        DisplayForm->hide();
    PatternOpen = false;
    SizePaintArea(0, 0);
}

// ---- Companion windows -------------------------------------------------------------

void TMainForm::connectCompanionWindows()
{
    // Notes typed while no pattern is open belong to nothing a save could store.
    connect(MemoForm, &TMemoForm::edited, this, [this] {
        if (PatternOpen && Pattern.exists())
            SetModified();
    });
    connect(MemoForm, &TMemoForm::closedByUser, this, [this] { MemoButn->setChecked(false); });
    EffectsForm->setOperationsEnabled(false);
    connect(EffectsForm, &TEffectsForm::operationChosen, this, &TMainForm::RunTransformButton);
    connect(EffectsForm, &TEffectsForm::closedByUser, this, [this] { CB1Menu->setChecked(false); });
    connect(PictureForm, &TPictureForm::closedByUser, this, [this] { ShowHidePictureButton->setChecked(false); });
    connect(PictureForm, &TPictureForm::patternFromPictureRequested, this,
        [this] { MakePatternFromPicture(PictureForm->picture()); });
}

void TMainForm::MemoButnClick()
{
    MemoForm->setVisible(!MemoForm->isVisible());
}

void TMainForm::ShowHidePictureButtonClick()
{
    PictureForm->setVisible(!PictureForm->isVisible());
}

void TMainForm::PreviewMenuClick()
{
    m_dialogs.runModal(*PreviewForm);
}

void TMainForm::MenuAboutClick()
{
    m_dialogs.runModal(*AboutForm);
}

void TMainForm::MenuPrintSetupClick()
{
    // The preview prints on the same printer, so what is confirmed here decides the next print.
    m_dialogs.printerSetupDialog(this, PreviewForm->printer());
}
