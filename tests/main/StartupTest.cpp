// Start-up: the eleven windows, the main window's controls and menus, its
// placement, the error report and the Russian texts.
#include "support/WindowFixture.h"
#include "ui/About.h"
#include "ui/Addpopup.h"
#include "ui/AppIcon.h"
#include "ui/Del.h"
#include "ui/Effects.h"
#include "ui/Effects1.h"
#include "ui/GridView.h"
#include "ui/Memo.h"
#include "ui/Messages.h"
#include "ui/New.h"
#include "ui/PaletteSwatch.h"
#include "ui/Picture.h"
#include "ui/Preview.h"
#include "ui/Reformat.h"
#include "ui/ToolBarImages.h"
#include "ui/WholeNumberField.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenuBar>
#include <QProxyStyle>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>
#include <stdexcept>
#include <tuple>

using StartupTest = WindowTest;

TEST_F(StartupTest, ElevenWindowsExistOwnedByTheMainWindow)
{
    const std::vector<std::pair<QWidget *, const char *>> windows = {
        { MainForm, "TMainForm" },
        { NewForm, "TNewForm" },
        { EffectsForm, "TEffectsForm" },
        { DisplayForm, "TDisplayForm" },
        { ReFormatForm, "TReFormatForm" },
        { AboutForm, "TAboutForm" },
        { PictureForm, "TPictureForm" },
        { PreviewForm, "TPreviewForm" },
        { AddFromPopupForm, "TAddFromPopupForm" },
        { DelForm, "TDelForm" },
        { MemoForm, "TMemoForm" },
    };
    for (auto [window, className] : windows) {
        ASSERT_NE(window, nullptr) << className;
        EXPECT_STREQ(window->metaObject()->className(), className);
        if (window != MainForm) {
            EXPECT_FALSE(window->isVisible()) << className;
        }
    }
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Проектировщик рисунков для вязальной машины"));
    EXPECT_EQ(NewForm->windowTitle(), QStringLiteral("Новый рисунок"));
    EXPECT_EQ(QApplication::applicationName(), QStringLiteral("Purlwise"));
    EXPECT_TRUE(form->UndoJournal.empty());
    EXPECT_EQ(form->CellPitch(), 20);
}

TEST_F(StartupTest, FixedDialogsCannotBeResizedAndCountsShowInBlue)
{
    const std::vector<std::pair<QDialog *, const char *>> dialogs = { { NewForm, "NewForm" },
        { ReFormatForm, "ReFormatForm" }, { AddFromPopupForm, "AddFromPopupForm" }, { DelForm, "DelForm" } };
    for (auto [dialog, name] : dialogs) {
        EXPECT_EQ(dialog->objectName(), QLatin1String(name));
        EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize()) << name;
        EXPECT_TRUE(dialog->windowFlags().testFlag(Qt::WindowCloseButtonHint)) << name;
        EXPECT_FALSE(dialog->windowFlags().testFlag(Qt::WindowMaximizeButtonHint)) << name;
    }
    const std::vector<std::pair<QLabel *, QColor>> labels = { { ReFormatForm->RowLabel, Qt::blue },
        { DisplayForm->Label4, Qt::blue }, { DisplayForm->Label3, Qt::blue }, { DisplayForm->Label1, Qt::black } };
    for (auto [label, colour] : labels)
        EXPECT_EQ(label->palette().color(QPalette::WindowText), colour) << label->objectName().toStdString();
}

TEST_F(StartupTest, MainWindowTakesTheWorkAreaOnEveryResize)
{
    const QSize expected = form->screen()->availableGeometry().size();
    EXPECT_EQ(form->frameGeometry().topLeft(), QPoint(0, 0));
    EXPECT_EQ(form->frameGeometry().size(), expected);

    form->move(40, 50);
    form->setMinimumSize(0, 0);
    form->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    form->resize(500, 400);
    QCoreApplication::processEvents();
    EXPECT_EQ(form->frameGeometry().topLeft(), QPoint(0, 0));
    EXPECT_EQ(form->frameGeometry().size(), expected);

    // The scroll area sits between the tool bar and the status bar.
    const QWidget *client = form->centralWidget();
    EXPECT_EQ(form->MainScrollBox->geometry(), QRect(0, 32, client->width(), client->height() - 52));
    EXPECT_EQ(form->StatusBar->geometry(), QRect(0, client->height() - 20, client->width(), 20));
    EXPECT_EQ(form->ToolBar->height(), 26);
}

TEST_F(StartupTest, ToolBarControlsStandWhereTheyBelong)
{
    struct Expected {
        QWidget *control;
        int x;
        int width;
        QString hint;
    };
    const std::vector<Expected> table = {
        { form->NewToolButn, 0, 23, "Создать новый рисунок" },
        { form->OpenToolButn, 23, 23, "Открыть рисунок" },
        { form->SaveToolButn, 46, 23, "Сохранить рисунок" },
        { form->CBZoom, 97, 63, "Масштаб" },
        { form->BZoomPlus, 160, 20, "Увеличить масштаб" },
        { form->BZoomMinus, 180, 20, "Уменьшить масштаб" },
        { form->PreviewToolButn, 233, 23, "Предварительный просмотр" },
        { form->MemoButn, 646, 23, "Окно текста" },
        { form->ShowHidePictureButton, 686, 23, "Показать/Спрятать окно рисунка" },
    };
    for (const auto &row : table) {
        EXPECT_EQ(row.control->x(), row.x) << row.hint.toStdString();
        EXPECT_EQ(row.control->width(), row.width) << row.hint.toStdString();
        EXPECT_EQ(row.control->toolTip(), row.hint);
    }
    for (int slot = 0; slot < 16; ++slot) {
        EXPECT_EQ(form->Panels[slot]->geometry(), QRect(277 + 22 * slot, 2, 22, 22));
        EXPECT_EQ(form->Panels[slot]->color(), model::White);
    }
    EXPECT_EQ(form->BZoomPlus->text(), "+");
    EXPECT_EQ(form->BZoomMinus->text(), "-");
    EXPECT_EQ(form->BZoomPlus->focusPolicy(), Qt::NoFocus);
    EXPECT_TRUE(form->MemoButn->isCheckable());
    EXPECT_TRUE(form->ShowHidePictureButton->isCheckable());
    const QStringList zoomItems = { "10", "25", "50", "100", "150", "200", "500" };
    ASSERT_EQ(form->CBZoom->count(), zoomItems.size());
    for (int i = 0; i < zoomItems.size(); ++i)
        EXPECT_EQ(form->CBZoom->itemText(i), zoomItems[i]);
    EXPECT_EQ(form->CBZoom->currentText(), "100");
    EXPECT_FALSE(form->CBZoom->isEditable());

    EXPECT_EQ(form->StatusPanels[0]->text(), QStringLiteral("Размер ячейки:"));
    EXPECT_EQ(form->StatusPanels[1]->text(), QStringLiteral(" "));
    EXPECT_EQ(form->StatusPanels[2]->text(), QString());
    EXPECT_GE(form->StatusPanels[0]->width(), 83);
    EXPECT_GE(form->StatusPanels[0]->width(), form->StatusPanels[0]->sizeHint().width());
    EXPECT_EQ(form->StatusPanels[1]->width(), 30);
    EXPECT_EQ(form->StatusPanels[2]->width(), 50);
}

TEST_F(StartupTest, ToolBarButtonsAndMenuItemsShowTheirPictures)
{
    newPattern(3, 3); // so that none but Save is greyed
    const std::vector<std::tuple<QToolButton *, QAction *, ToolBarImage>> table = {
        { form->NewToolButn, form->MenuNew, ToolBarImage::New },
        { form->OpenToolButn, form->MenuOpen, ToolBarImage::Open },
        { nullptr, form->MenuSave, ToolBarImage::Save },
        { form->PreviewToolButn, nullptr, ToolBarImage::Preview },
        { form->MemoButn, nullptr, ToolBarImage::Notes },
    };
    for (const auto &[button, item, image] : table) {
        const QImage picture = toolBarPixmap(image).toImage();
        if (button) {
            EXPECT_TRUE(showsPicture(*button, picture)) << int(image);
        }
        if (item) {
            EXPECT_EQ(item->icon().pixmap(16).toImage().convertToFormat(picture.format()), picture) << int(image);
        }
    }
}

TEST(ApplicationIcon, BuiltInPicturesAreTheDrawnOnes)
{
    for (int size : { 16, 24, 32, 48, 64 })
        EXPECT_EQ(applicationIcon(size), drawApplicationIcon(size)) << size;
}

TEST_F(StartupTest, MenusReadAsDesigned)
{
    struct Item {
        QAction *action;
        QString caption;
        QKeySequence shortcut;
        bool hasImage;
    };
    const std::vector<Item> table = {
        { form->MenuNew, "&Новый", QKeySequence("Ctrl+N"), true },
        { form->MenuOpen, "&Открыть", QKeySequence("Ctrl+O"), true },
        { form->MenuSave, "&Сохранить", QKeySequence("Ctrl+S"), true },
        { form->MenuPrintSetup, "Настройка принтера...", {}, false },
        { form->MenuPrint, "&Печать", QKeySequence("Ctrl+P"), true },
        { form->MenuExit, "&Выход", {}, true },
        { form->PreviewMenu, "&Во весь экран", {}, true },
        { form->UndoMenu, "&Отмена действия", QKeySequence("Ctrl+Z"), false },
        { form->PicSizeMenu, "&Размер рисунка", QKeySequence("Ctrl+Q"), false },
        { form->CB1Menu, "KR-&970  (CB-1)", {}, false },
        { form->MenuAbout, "&О программе", {}, false },
    };
    for (const auto &item : table) {
        EXPECT_EQ(item.action->text(), item.caption);
        EXPECT_EQ(item.action->shortcut(), item.shortcut) << item.caption.toStdString();
        EXPECT_EQ(!item.action->icon().isNull(), item.hasImage) << item.caption.toStdString();
    }
    QStringList topLevel;
    for (QAction *action : form->menuBar()->actions())
        topLevel << action->text();
    EXPECT_EQ(topLevel, QStringList({ "&Файл", "&Просмотр", "П&равка", "&Эффекты", "&О программе" }));
    EXPECT_EQ(form->MenuAbout->menu(), nullptr);
    EXPECT_TRUE(form->CB1Menu->isCheckable());
}

TEST_F(StartupTest, EveryControlHasAnAccessibleName)
{
    for (QWidget *control : form->ToolBar->findChildren<QWidget *>()) {
        if (qobject_cast<QFrame *>(control) && !qobject_cast<PaletteSwatch *>(control))
            continue; // separators
        if (control->parentWidget() != form->ToolBar)
            continue; // inner parts of composite controls
        EXPECT_FALSE(control->accessibleName().isEmpty()) << control->objectName().toStdString();
    }
    EXPECT_FALSE(form->MainScrollBox->viewport()->accessibleName().isEmpty());
    EXPECT_EQ(NewForm->CSpinEdit2->accessibleName(), QStringLiteral("Петель"));
    EXPECT_EQ(NewForm->CSpinEdit1->accessibleName(), QStringLiteral("Рядов"));
}

TEST(ErrorReport, AppendsAFullStopAfterCharactersAboveIt)
{
    EXPECT_EQ(ErrorReportText("Нет места на диске"), "Нет места на диске.");
    EXPECT_EQ(ErrorReportText("abc0"), "abc0.");
    EXPECT_EQ(ErrorReportText("Готово."), "Готово.");
    EXPECT_EQ(ErrorReportText("Ошибка!"), "Ошибка!");
    EXPECT_EQ(ErrorReportText("(a)"), "(a)"); // ')' is below '.'
    EXPECT_EQ(ErrorReportText("a/"), "a/."); // '/' is one above '.'
    EXPECT_EQ(ErrorReportText(""), "");
}

namespace {
class ThrowingWidget : public QWidget {
protected:
    void mousePressEvent(QMouseEvent *) override { throw std::runtime_error("disk on fire"); }
};
} // namespace

TEST_F(StartupTest, AnExceptionFromAHandlerIsReportedAndTheProgramGoesOn)
{
    ThrowingWidget widget;
    widget.resize(20, 20);
    widget.show();
    dialogs.messageAnswers.push_back(QMessageBox::Ok);
    QTest::mouseClick(&widget, Qt::LeftButton);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, "Purlwise");
    EXPECT_EQ(dialogs.messages[0].text, "disk on fire.");
    EXPECT_EQ(dialogs.messages[0].buttons, QMessageBox::Ok);
    EXPECT_EQ(dialogs.messages[0].icon, UserDialogs::Icon::Critical);
    // Still working: New goes ahead as usual.
    newPattern(3, 4);
    EXPECT_EQ(form->Pattern.StitchCount, 3);
}

TEST(Translations, StandardButtonsSpeakRussian)
{
    // Loaded by the test main exactly as by the program.
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Да"));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&No"), QStringLiteral("&Нет"));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Отмена"));
}

TEST_F(StartupTest, AnExceptionWhileTheWindowsAreMadeIsReportedAndLeavesNoWindows)
{
    struct Case {
        const char *what;
        int failingWindow; // 1 to 11, in the order of creation
        bool standard;
        QString text;
    };
    const Case cases[] = {
        { "right after the main window", 1, true, QStringLiteral("нет места.") },
        { "at the last window", 11, true, QStringLiteral("нет места.") },
        { "something not an error type", 6, false, QStringLiteral("Неизвестная ошибка.") },
    };
    windows.reset();
    for (const Case &c : cases) {
        dialogs.messages.clear();
        dialogs.messageAnswers.push_back(QMessageBox::Ok);
        int made = 0;
        ApplicationWindows failing(dialogs, ApplicationWindows::Companions::Now, [&](QWidget &) {
            if (++made < c.failingWindow)
                return;
            if (c.standard)
                throw std::runtime_error("нет места");
            throw 42;
        });
        EXPECT_FALSE(failing.created()) << c.what;
        EXPECT_EQ(MainForm, nullptr) << c.what;
        EXPECT_EQ(MemoForm, nullptr) << c.what;
        ASSERT_EQ(dialogs.messages.size(), 1u) << c.what;
        EXPECT_EQ(dialogs.messages[0].caption, "Purlwise");
        EXPECT_EQ(dialogs.messages[0].text, c.text) << c.what;
        EXPECT_EQ(dialogs.messages[0].icon, UserDialogs::Icon::Critical);
    }
}

TEST(ProgramStartup, OtherWindowsFollowTheMainWindowsFirstPaint)
{
    ScriptedDialogs dialogs;
    ApplicationWindows windows(dialogs, ApplicationWindows::Companions::AfterFirstPaint);
    EXPECT_EQ(NewForm, nullptr);
    windows.main().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&windows.main()));
    for (int i = 0; i < 100 && !MemoForm; ++i)
        QTest::qWait(10);
    for (QWidget *window : std::initializer_list<QWidget *> { NewForm, EffectsForm, DisplayForm, ReFormatForm,
             AboutForm, PictureForm, PreviewForm, AddFromPopupForm, DelForm, MemoForm }) {
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->parent(), &windows.main());
        EXPECT_FALSE(window->isVisible()) << window->metaObject()->className();
    }
    // Wired to the main window as when made at once: closing the notes clears their button.
    windows.main().MemoButn->setChecked(true);
    MemoForm->show();
    MemoForm->close();
    EXPECT_FALSE(windows.main().MemoButn->isChecked());
    EXPECT_FALSE(EffectsForm->SpeedButtons[0]->isEnabled());
}

// The bars' overflow arrows, read only when first drawn, are still the style's own.
TEST(StartupStyleTest, OverflowArrowsDrawTheStylesOwnPictures)
{
    const auto *style = qobject_cast<const QProxyStyle *>(QApplication::style());
    ASSERT_NE(style, nullptr);
    for (const auto arrow : { QStyle::SP_ToolBarHorizontalExtensionButton, QStyle::SP_ToolBarVerticalExtensionButton }) {
        const QImage expected = style->baseStyle()->standardIcon(arrow).pixmap(16).toImage();
        ASSERT_FALSE(expected.isNull()) << arrow;
        EXPECT_EQ(style->standardIcon(arrow).pixmap(16).toImage(), expected) << arrow;
    }
}
