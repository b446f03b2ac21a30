// The transformations tool window and the undo journal, driven through the
// real buttons and the undo menu item.
#include "support/WindowFixture.h"
#include "ui/Effects.h"
#include "ui/EffectsImages.h"
#include "ui/GridView.h"

#include <QAction>
#include <QTest>
#include <QToolButton>

namespace {

class EffectsTest : public WindowTest {
protected:
    // A new pattern whose every cell differs, with the tool window open.
    void newPaintedPattern(int stitches, int rows)
    {
        newPattern(stitches, rows);
        for (int r = 0; r < rows; ++r)
            for (int s = 0; s < stitches; ++s)
                form->Pattern.at(s, r) = model::TColor(0x010000 * r + s);
        if (!EffectsForm->isVisible())
            form->CB1Menu->trigger();
    }
    void press(int button) { QTest::mouseClick(EffectsForm->SpeedButtons[std::size_t(button - 1)], Qt::LeftButton); }
    void undo() { form->UndoMenu->trigger(); }
    void expectPaintAreaFitsPattern()
    {
        const int step = form->CellPitch() - 1;
        EXPECT_EQ(form->MainScrollBox->paintAreaSize(),
            QSize(form->Pattern.StitchCount * step, form->Pattern.RowCount * step));
    }
    void cancelNew()
    {
        dialogs.messageAnswers.push_back(QMessageBox::No);
        dialogs.modalHandlers.push_back(clickButton("CancelButton"));
        form->MenuNewClick();
        ASSERT_FALSE(form->Pattern.exists());
    }
};

TEST_F(EffectsTest, JournalWalksBackNewestFirst)
{
    newPaintedPattern(4, 3);
    EXPECT_FALSE(form->UndoMenu->isEnabled());

    std::vector<model::Pattern> before;
    for (int button : { 1, 3, 9 }) {
        before.push_back(form->Pattern);
        press(button);
        expectPaintAreaFitsPattern();
        EXPECT_TRUE(form->UndoMenu->isEnabled());
    }
    EXPECT_EQ(form->UndoJournal, "qeo");
    // 4 x 3 copied to 8 x 3, turned to 3 x 8, then every colour inverted.
    ASSERT_EQ(form->Pattern.StitchCount, 3);
    ASSERT_EQ(form->Pattern.RowCount, 8);
    for (std::size_t i = 0; i < form->Pattern.cellCount(); ++i)
        EXPECT_EQ(form->Pattern.Cells[i], 0x00FFFFFFu - before.back().Cells[i]);

    for (const char *left : { "qe", "q", "" }) {
        undo();
        EXPECT_EQ(form->UndoJournal, left);
        EXPECT_EQ(form->Pattern, before.back());
        before.pop_back();
        expectPaintAreaFitsPattern();
        EXPECT_EQ(form->UndoMenu->isEnabled(), !form->UndoJournal.empty());
    }
}

TEST_F(EffectsTest, EveryButtonShowsItsPicture)
{
    newPaintedPattern(2, 2);
    for (int button = 1; button <= TEffectsForm::ButtonCount; ++button)
        EXPECT_TRUE(showsPicture(*EffectsForm->SpeedButtons[std::size_t(button - 1)],
            effectsButtonPixmap(button).toImage()))
            << button;
}

TEST_F(EffectsTest, EveryButtonIsUndoneExactlyAndMarksTheChange)
{
    for (int button = 1; button <= TEffectsForm::ButtonCount; ++button) {
        SCOPED_TRACE(button);
        newPaintedPattern(4, 6);
        const model::Pattern original = form->Pattern;
        ASSERT_FALSE(form->Modified());
        press(button);
        EXPECT_TRUE(form->Modified());
        EXPECT_NE(form->Pattern, original);
        EXPECT_EQ(form->UndoJournal.size(), 1u);
        expectPaintAreaFitsPattern();
        undo();
        EXPECT_EQ(form->Pattern, original);
        EXPECT_TRUE(form->UndoJournal.empty());
        EXPECT_FALSE(form->UndoMenu->isEnabled());
    }
}

TEST_F(EffectsTest, UndoAfterNewRunsOnTheNewPattern)
{
    newPaintedPattern(2, 2);
    press(1);
    newPattern(6, 5);
    EXPECT_TRUE(form->UndoMenu->isEnabled());
    EXPECT_EQ(form->UndoJournal, "q");
    undo();
    EXPECT_EQ(form->Pattern.StitchCount, 3);
    EXPECT_EQ(form->Pattern.RowCount, 5);
    EXPECT_FALSE(form->UndoMenu->isEnabled());
}

TEST_F(EffectsTest, UndoThatWouldHalveACountOfOneOnlyUsesUpItsLetter)
{
    newPaintedPattern(2, 2);
    press(2);
    press(1);
    newPattern(1, 3);
    undo(); // q: half of one stitch is nothing
    EXPECT_EQ(form->UndoJournal, "w");
    EXPECT_EQ(form->Pattern.StitchCount, 1);
    EXPECT_EQ(form->Pattern.RowCount, 3);
    EXPECT_TRUE(form->UndoMenu->isEnabled());
    undo(); // w: three rows halve to one
    EXPECT_EQ(form->Pattern.RowCount, 1);
    EXPECT_FALSE(form->UndoMenu->isEnabled());
}

TEST_F(EffectsTest, TooLargeResultIsRefusedWithoutTrace)
{
    newPattern(2, 2);
    form->CB1Menu->trigger();
    model::CreateBlank(form->Pattern, 1 << 20, 1);
    const model::Pattern wide = form->Pattern;
    dialogs.messageAnswers.push_back(QMessageBox::Ok);
    press(1);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, "Purlwise");
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Рисунок станет слишком большим: 2097152 × 1."));
    EXPECT_EQ(dialogs.messages[0].buttons, QMessageBox::Ok);
    EXPECT_EQ(dialogs.messages[0].icon, UserDialogs::Icon::Critical);
    EXPECT_EQ(form->Pattern, wide);
    EXPECT_TRUE(form->UndoJournal.empty());
    EXPECT_FALSE(form->UndoMenu->isEnabled());
    EXPECT_FALSE(form->Modified());
}

TEST_F(EffectsTest, WithoutAPatternButtonsAreOffAndUndoWaits)
{
    for (QToolButton *button : EffectsForm->SpeedButtons)
        EXPECT_FALSE(button->isEnabled());
    newPaintedPattern(4, 4);
    for (QToolButton *button : EffectsForm->SpeedButtons)
        EXPECT_TRUE(button->isEnabled());
    press(7);

    cancelNew();
    EXPECT_FALSE(EffectsForm->isVisible());
    EXPECT_TRUE(form->CB1Menu->isEnabled());
    form->CB1Menu->trigger(); // the window may still be shown
    EXPECT_TRUE(EffectsForm->isVisible());
    for (QToolButton *button : EffectsForm->SpeedButtons)
        EXPECT_FALSE(button->isEnabled());
    undo();
    EXPECT_EQ(form->UndoJournal, "u");
    EXPECT_TRUE(form->UndoMenu->isEnabled());
}

TEST_F(EffectsTest, MenuItemTogglesTheWindowAndCloseBoxClearsTheMark)
{
    EXPECT_FALSE(form->CB1Menu->isEnabled());
    newPattern(3, 3);
    ASSERT_TRUE(form->CB1Menu->isEnabled());
    for (bool shown : { true, false, true }) {
        form->CB1Menu->trigger();
        EXPECT_EQ(EffectsForm->isVisible(), shown);
        EXPECT_EQ(form->CB1Menu->isChecked(), shown);
    }
    EffectsForm->close();
    EXPECT_FALSE(EffectsForm->isVisible());
    EXPECT_FALSE(form->CB1Menu->isChecked());
    form->CB1Menu->trigger();
    EXPECT_TRUE(EffectsForm->isVisible());
    EXPECT_TRUE(form->CB1Menu->isChecked());
}

TEST_F(EffectsTest, AllTwelveButtonsShowInsideTheWindow)
{
    for (const QToolButton *button : EffectsForm->SpeedButtons) {
        EXPECT_TRUE(EffectsForm->rect().contains(button->geometry())) << button->objectName().toStdString();
        EXPECT_FALSE(button->toolTip().isEmpty());
        EXPECT_EQ(button->accessibleName(), button->toolTip());
    }
}

} // namespace
