// What users of other desktop programs take for granted: tool windows that
// never cover a dialog, Enter that does nothing where no button is the
// default, numbers a screen reader can read, fonts as named, labels apart.
#include "support/WindowFixture.h"
#include "ui/About.h"
#include "ui/Del.h"
#include "ui/Effects.h"
#include "ui/Effects1.h"
#include "ui/Memo.h"
#include "ui/Picture.h"
#include "ui/Preview.h"
#include "ui/Reformat.h"

#include <QAccessible>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>

using DesktopMannersTest = WindowTest;

TEST_F(DesktopMannersTest, ToolWindowsStayAboveTheMainWindowOnly)
{
    for (QWidget *tool : std::initializer_list<QWidget *> { EffectsForm, DisplayForm, MemoForm, PictureForm }) {
        const std::string name = tool->objectName().toStdString();
        EXPECT_EQ(tool->windowType(), Qt::Tool) << name;
        EXPECT_FALSE(tool->windowFlags().testFlag(Qt::WindowStaysOnTopHint)) << name;
        EXPECT_EQ(tool->parentWidget(), form) << name; // transient for the main window
        EXPECT_EQ(QAccessible::queryAccessibleInterface(tool)->role(), QAccessible::Window) << name;
    }
}

TEST_F(DesktopMannersTest, EnterDoesNothingWhereNoButtonIsTheDefault)
{
    newPattern(3, 2);
    form->AddYarnItem(QStringLiteral("Мохер"), 0x0000FF);
    struct Case {
        std::function<void()> open;
        std::function<void()> prepare;
    };
    const std::vector<Case> cases = {
        { [this] { form->PreviewMenuClick(); }, [] {} },
        { [this] { form->DelPopupMenuClick(); }, [] { DelForm->ListBox->setCurrentRow(0); } },
    };
    for (const Case &test : cases) {
        dialogs.modalHandlers.push_back([&test](QDialog &dialog) {
            test.prepare();
            for (QPushButton *button : dialog.findChildren<QPushButton *>())
                EXPECT_FALSE(button->isDefault()) << button->objectName().toStdString();
            QWidget *target = dialog.focusWidget() ? dialog.focusWidget() : &dialog;
            QTest::keyClick(target, Qt::Key_Return);
            QTest::keyClick(target, Qt::Key_Enter);
            EXPECT_TRUE(dialog.isVisible()) << dialog.objectName().toStdString();
            return 0;
        });
        test.open();
    }
    EXPECT_EQ(dialogs.printDialogRuns, 0);
    EXPECT_EQ(form->YarnItems().size(), 1);
}

TEST_F(DesktopMannersTest, ChangingNumbersAreReadAsShown)
{
    newPattern(24, 100);
    DisplayForm->showPosition(12, 34);
    form->BZoomPlus->click();
    for (QLabel *label : { DisplayForm->Label4, DisplayForm->Label3, form->StatusPanels[1] }) {
        QAccessibleInterface *read = QAccessible::queryAccessibleInterface(label);
        ASSERT_NE(read, nullptr);
        EXPECT_FALSE(label->text().isEmpty());
        EXPECT_EQ(read->text(QAccessible::Name), label->text());
    }
    QStringList panelNames;
    for (QLabel *panel : form->StatusPanels)
        panelNames << QAccessible::queryAccessibleInterface(panel)->text(QAccessible::Name);
    panelNames.removeDuplicates();
    EXPECT_EQ(panelNames.size(), qsizetype(form->StatusPanels.size()));
}

TEST_F(DesktopMannersTest, TwoStateButtonActionsDoWhatAClickDoes)
{
    newPattern(4, 4);
    const std::vector<std::pair<QToolButton *, QWidget *>> buttons
        = { { form->MemoButn, MemoForm }, { form->ShowHidePictureButton, PictureForm } };
    for (const QString &action :
        { QAccessibleActionInterface::toggleAction(), QAccessibleActionInterface::pressAction() }) {
        for (auto [button, window] : buttons) {
            QAccessibleActionInterface *actions = QAccessible::queryAccessibleInterface(button)->actionInterface();
            ASSERT_NE(actions, nullptr);
            ASSERT_TRUE(actions->actionNames().contains(action));
            const std::string what = (button->objectName() + QLatin1Char(' ') + action).toStdString();
            actions->doAction(action);
            QCoreApplication::processEvents();
            EXPECT_TRUE(window->isVisible()) << what;
            EXPECT_TRUE(button->isChecked()) << what;
            actions->doAction(action);
            QCoreApplication::processEvents();
            EXPECT_FALSE(window->isVisible()) << what;
            EXPECT_FALSE(button->isChecked()) << what;
        }
    }
}

namespace {

QString fontconfigFamily(const QString &family)
{
    QProcess match;
    match.start(QStringLiteral("fc-match"), { QStringLiteral("-f"), QStringLiteral("%{family[0]}"), family });
    if (!match.waitForFinished(5000))
        return {};
    return QString::fromUtf8(match.readAllStandardOutput()).trimmed();
}

// Where the label draws its text, as it aligns it: the ink of a single line
// (lines may be set closer than their spacing), the whole box of wrapped text.
QRect textArea(const QLabel *label)
{
    const QFontMetrics metrics(label->font());
    const int flags = int(label->alignment()) | (label->wordWrap() ? int(Qt::TextWordWrap) : 0);
    const QRect box = metrics.boundingRect(label->contentsRect(), flags, label->text());
    if (label->wordWrap())
        return box.translated(label->pos());
    const QPoint baseline = label->pos() + QPoint(box.left(), box.top() + metrics.ascent());
    return metrics.tightBoundingRect(label->text()).translated(baseline);
}

} // namespace

TEST_F(DesktopMannersTest, NamedFamiliesAreTheOnesFontconfigGives)
{
    newPattern(4, 4);
    for (QLabel *label : { DisplayForm->Label1, DisplayForm->Label4, ReFormatForm->RowLabel }) {
        const QString wanted = fontconfigFamily(label->font().family());
        if (wanted.isEmpty())
            GTEST_SKIP() << "fc-match is not installed";
        EXPECT_EQ(QFontInfo(label->font()).family(), wanted) << label->font().family().toStdString();
    }
}

TEST_F(DesktopMannersTest, LabelsStayApartAtTheirDesignedPlaces)
{
    newPattern(400, 800);
    DisplayForm->showPosition(400, 800);
    ReFormatForm->FormActivate();
    for (QWidget *window : std::initializer_list<QWidget *> { DisplayForm->ClientArea, ReFormatForm, AboutForm }) {
        // As the user sees them: windows measure their texts when shown.
        window->window()->show();
        QList<QLabel *> labels;
        for (QLabel *label : window->findChildren<QLabel *>(Qt::FindDirectChildrenOnly)) {
            if (!label->text().isEmpty())
                labels << label;
        }
        ASSERT_GE(labels.size(), 4);
        for (QLabel *label : labels) {
            EXPECT_LE(textArea(label).right(), label->geometry().right())
                << "runs out of its box: " << label->text().toStdString();
            for (QLabel *other : labels) {
                EXPECT_TRUE(other == label || !textArea(label).intersects(textArea(other)))
                    << label->text().toStdString() << " over " << other->text().toStdString();
            }
        }
        window->hide();
    }
}
