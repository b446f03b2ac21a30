// The New command, its dialog, the editor states and closing with the save prompt.
#include "support/ModalGuard.h"
#include "support/WindowFixture.h"
#include "ui/Effects.h"
#include "ui/Effects1.h"
#include "ui/GridView.h"
#include "ui/New.h"
#include "ui/PaletteSwatch.h"
#include "ui/Picture.h"
#include "ui/WholeNumberField.h"

#include <QAction>
#include <QColorDialog>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

namespace {

struct EditorState {
    bool save, menuSave, print, picSize, preview, previewButton, memo, picture, zoomList, zoomButtons, effects, undo,
        palette, patternOpen;
    bool operator==(const EditorState &) const = default;
};

std::ostream &operator<<(std::ostream &out, const EditorState &s)
{
    return out << "save " << s.save << " menuSave " << s.menuSave << " print " << s.print << " picSize " << s.picSize
               << " preview " << s.preview << "/" << s.previewButton << " memo " << s.memo << " picture " << s.picture
               << " zoom " << s.zoomList << "/" << s.zoomButtons << " effects " << s.effects << " undo " << s.undo
               << " palette " << s.palette << " open " << s.patternOpen;
}

EditorState stateOf(const TMainForm &f)
{
    bool palette = true;
    for (const PaletteSwatch *swatch : f.Panels)
        palette = palette && swatch->isEnabled();
    return { f.SaveToolButn->isEnabled(), f.MenuSave->isEnabled(), f.MenuPrint->isEnabled(), f.PicSizeMenu->isEnabled(),
        f.PreviewMenu->isEnabled(), f.PreviewToolButn->isEnabled(), f.MemoButn->isEnabled(),
        f.ShowHidePictureButton->isEnabled(), f.CBZoom->isEnabled(),
        f.BZoomPlus->isEnabled() && f.BZoomMinus->isEnabled(), f.CB1Menu->isEnabled(), f.UndoMenu->isEnabled(), palette,
        f.PatternOpen };
}

// Answers the New dialog by typing into its fields and pressing a button.
std::function<int(QDialog &)> typeIntoNewForm(QString stitches, QString rows, const char *button = "OKButton")
{
    return [=](QDialog &dialog) {
        NewForm->CSpinEdit2->lineEdit()->setText(stitches);
        NewForm->CSpinEdit1->lineEdit()->setText(rows);
        return clickButton(button)(dialog);
    };
}

bool allWhite(const model::Pattern &p)
{
    return std::all_of(p.Cells.begin(), p.Cells.end(), [](model::TColor c) { return c == model::White; });
}

} // namespace

using NewCommandTest = WindowTest;

TEST_F(NewCommandTest, EnabledStatesAtStartAfterPrepareAndAfterDisable)
{
    const EditorState atStart { false, false, false, false, false, false, false, false, false, false, false, false,
        false, false };
    EXPECT_EQ(stateOf(*form), atStart);

    dialogs.modalHandlers.push_back(clickButton("OKButton"));
    form->MenuNewClick();
    const EditorState prepared { false, true, true, true, true, true, true, true, true, true, true, false, true, true };
    EXPECT_EQ(stateOf(*form), prepared);
    EXPECT_TRUE(DisplayForm->isVisible());

    // No, then Cancel in the dialog: no pattern; zoom buttons and effects item stay enabled.
    dialogs.messageAnswers.push_back(QMessageBox::No);
    dialogs.modalHandlers.push_back(clickButton("CancelButton"));
    form->MenuNewClick();
    const EditorState disabled { false, false, false, false, false, false, false, false, false, true, true, false,
        false, false };
    EXPECT_EQ(stateOf(*form), disabled);
    EXPECT_FALSE(form->Pattern.exists());
    EXPECT_FALSE(DisplayForm->isVisible());
    EXPECT_EQ(form->MainScrollBox->paintAreaSize(), QSize(0, 0));
    for (const PaletteSwatch *swatch : form->Panels)
        EXPECT_EQ(swatch->color(), model::White);
    EXPECT_TRUE(dialogs.allAnswersUsed());
}

TEST_F(NewCommandTest, DefaultsGiveA24By100WhitePattern)
{
    dialogs.modalHandlers.push_back(clickButton("OKButton"));
    form->MenuNewClick();
    EXPECT_EQ(dialogs.modalWindows, std::vector<QString> { "NewForm" });
    EXPECT_TRUE(dialogs.messages.empty()); // nothing to save yet: no question
    EXPECT_EQ(form->Pattern.StitchCount, 24);
    EXPECT_EQ(form->Pattern.RowCount, 100);
    EXPECT_EQ(form->Pattern.Cells.size(), 2400u);
    EXPECT_TRUE(allWhite(form->Pattern));
    EXPECT_EQ(form->yarnPalette(), model::WhitePalette());
    EXPECT_EQ(form->CurrentColor, model::White);
    EXPECT_EQ(form->CellPitch(), 20);
    EXPECT_EQ(form->CBZoom->currentText(), "100");
    EXPECT_FALSE(form->Modified());
    EXPECT_EQ(NewForm->ModalResult, 0); // reset by the caller
    EXPECT_EQ(form->MainScrollBox->paintAreaSize(), QSize(24 * 19, 100 * 19));
}

TEST_F(NewCommandTest, SmallestAndLargestDialogPatterns)
{
    dialogs.modalHandlers.push_back(typeIntoNewForm("1", "1"));
    form->MenuNewClick();
    EXPECT_EQ(form->Pattern.StitchCount, 1);
    EXPECT_EQ(form->Pattern.RowCount, 1);
    EXPECT_EQ(form->Pattern.Cells.size(), 1u);

    dialogs.messageAnswers.push_back(QMessageBox::No);
    dialogs.modalHandlers.push_back(typeIntoNewForm("400", "800"));
    form->MenuNewClick();
    EXPECT_EQ(form->Pattern.StitchCount, 400);
    EXPECT_EQ(form->Pattern.RowCount, 800);
    EXPECT_EQ(form->Pattern.Cells.size(), 320000u);
    EXPECT_TRUE(allWhite(form->Pattern));
}

TEST_F(NewCommandTest, FieldsSettleBadInputAndRememberWhatWasEntered)
{
    struct Case {
        QString stitches, rows;
        int expectedStitches, expectedRows;
    };
    const std::vector<Case> cases = {
        { "0", "0", 1, 1 },
        { "401", "801", 400, 800 },
        { "-5", "99999999999", 1, 800 },
        { "abc", "", 1, 1 },
        { " 7 ", "12", 7, 12 },
        { "3.5", "1e3", 1, 1 },
    };
    for (const Case &c : cases) {
        if (form->Pattern.exists())
            dialogs.messageAnswers.push_back(QMessageBox::No);
        dialogs.modalHandlers.push_back(typeIntoNewForm(c.stitches, c.rows));
        form->MenuNewClick();
        EXPECT_EQ(form->Pattern.StitchCount, c.expectedStitches) << c.stitches.toStdString();
        EXPECT_EQ(form->Pattern.RowCount, c.expectedRows) << c.rows.toStdString();
        // The field shows what was read.
        EXPECT_EQ(NewForm->CSpinEdit2->lineEdit()->text(), QString::number(c.expectedStitches));
        EXPECT_EQ(NewForm->CSpinEdit1->lineEdit()->text(), QString::number(c.expectedRows));
    }

    // The next use shows the counts last entered, not 24 and 100.
    dialogs.messageAnswers.push_back(QMessageBox::No);
    dialogs.modalHandlers.push_back([](QDialog &dialog) {
        EXPECT_EQ(NewForm->CSpinEdit2->lineEdit()->text(), "1");
        EXPECT_EQ(NewForm->CSpinEdit1->lineEdit()->text(), "1");
        return clickButton("OKButton")(dialog);
    });
    form->MenuNewClick();
    EXPECT_TRUE(dialogs.allAnswersUsed());
}

TEST_F(NewCommandTest, EnterInTheRowFieldActsAsOk)
{
    dialogs.modalHandlers.push_back([](QDialog &dialog) {
        NewForm->CSpinEdit2->lineEdit()->setText("5");
        NewForm->CSpinEdit1->lineEdit()->setText("6");
        QTest::keyClick(NewForm->CSpinEdit1, Qt::Key_Return);
        return dialog.result();
    });
    form->MenuNewClick();
    EXPECT_EQ(form->Pattern.StitchCount, 5);
    EXPECT_EQ(form->Pattern.RowCount, 6);
    EXPECT_TRUE(form->PatternOpen);
}

TEST_F(NewCommandTest, CloseBoxActsAsCancel)
{
    newPattern(4, 4);
    dialogs.messageAnswers.push_back(QMessageBox::No);
    dialogs.modalHandlers.push_back(closeByCloseBox());
    form->MenuNewClick();
    EXPECT_FALSE(form->Pattern.exists());
    EXPECT_FALSE(form->PatternOpen);
    EXPECT_EQ(NewForm->ModalResult, 0);
}

TEST_F(NewCommandTest, SavePromptCancelKeepsEverything)
{
    newPattern(3, 2);
    form->Pattern.at(1, 1) = 0x123456;
    form->Panels[4]->setColor(0x00FF00);
    form->SetModified();
    const model::Pattern before = form->Pattern;

    dialogs.messageAnswers.push_back(QMessageBox::Cancel);
    form->MenuNewClick();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Новый рисунок"));
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Вы хотите сохранить текущий рисунок?"));
    EXPECT_EQ(dialogs.messages[0].buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(dialogs.messages[0].icon, UserDialogs::Icon::Question);
    EXPECT_TRUE(dialogs.modalWindows.size() == 1); // only the first New's dialog
    EXPECT_EQ(form->Pattern, before);
    EXPECT_EQ(form->Panels[4]->color(), 0x00FF00u);
    EXPECT_TRUE(form->Modified());
}

TEST_F(NewCommandTest, SavePromptIsAskedEvenWithoutChanges)
{
    newPattern(3, 2);
    EXPECT_FALSE(form->Modified());
    dialogs.messageAnswers.push_back(QMessageBox::No);
    dialogs.modalHandlers.push_back(typeIntoNewForm("8", "9"));
    form->MenuNewClick();
    EXPECT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(form->Pattern.StitchCount, 8);
}

TEST_F(NewCommandTest, YesWithACancelledSaveStopsTheCommand)
{
    newPattern(3, 2);
    form->Pattern.at(0, 0) = 0x0000FF;
    const model::Pattern before = form->Pattern;
    dialogs.messageAnswers.push_back(QMessageBox::Yes);
    dialogs.saveAnswers.push_back(QString()); // the save dialog is cancelled
    form->MenuNewClick();
    EXPECT_EQ(form->Pattern, before);
    EXPECT_TRUE(form->PatternOpen);
    EXPECT_TRUE(dialogs.allAnswersUsed());
}

TEST_F(NewCommandTest, YesSavesThenMakesTheNewPattern)
{
    QTemporaryDir dir;
    newPattern(3, 2);
    dialogs.messageAnswers.push_back(QMessageBox::Yes);
    dialogs.saveAnswers.push_back(dir.filePath("old.plw"));
    dialogs.messageAnswers.push_back(QMessageBox::Ok); // "saved successfully"
    dialogs.modalHandlers.push_back(typeIntoNewForm("6", "7"));
    form->MenuNewClick();
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("old.plw")));
    EXPECT_EQ(form->Pattern.StitchCount, 6);
    EXPECT_TRUE(dialogs.allAnswersUsed());
}

TEST_F(NewCommandTest, NewResetsPaletteAndCurrentColourButKeepsTheJournal)
{
    newPattern(3, 2);
    form->Panels[0]->setColor(0x0000FF);
    form->CurrentColor = 0x0000FF;
    DisplayForm->setSwatchColor(0x0000FF);
    form->UndoJournal = "q";
    newPattern(5, 5);
    EXPECT_EQ(form->yarnPalette(), model::WhitePalette());
    EXPECT_EQ(form->CurrentColor, model::White);
    EXPECT_EQ(DisplayForm->swatchColor(), model::White);
    EXPECT_EQ(form->UndoJournal, "q");
}

using ClosingTest = WindowTest;

TEST_F(ClosingTest, ClosesWithoutAskingWhenNothingChanged)
{
    EXPECT_TRUE(form->close()); // no pattern
    form->show();
    newPattern(3, 3);
    EXPECT_TRUE(form->close()); // a pattern, not modified
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(ClosingTest, AChangeBringsTheQuestionAndCancelKeepsRunning)
{
    newPattern(3, 3);
    form->Pattern.at(2, 2) = 0x00AA00;
    form->SetModified();
    const model::Pattern before = form->Pattern;
    dialogs.messageAnswers.push_back(QMessageBox::Cancel);
    EXPECT_FALSE(form->close());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Выход"));
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Вы хотите сохранить текущий рисунок?"));
    EXPECT_EQ(dialogs.messages[0].icon, UserDialogs::Icon::Question);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->Pattern, before);
    EXPECT_TRUE(form->Modified());
}

TEST_F(ClosingTest, NoDiscardsAndCloses)
{
    newPattern(3, 3);
    form->SetModified();
    QSignalSpy closed(form, &TMainForm::closedForGood);
    dialogs.messageAnswers.push_back(QMessageBox::No);
    form->MenuExitClick();
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(form->Pattern.exists());
    EXPECT_EQ(closed.count(), 1);
}

TEST_F(ClosingTest, YesWithACancelledOrFailedSaveKeepsTheProgramOpen)
{
    newPattern(3, 3);
    form->SetModified();
    dialogs.messageAnswers.push_back(QMessageBox::Yes);
    dialogs.saveAnswers.push_back(QString());
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->Pattern.exists());

    // A folder that does not exist: the save fails with a message.
    dialogs.messageAnswers.push_back(QMessageBox::Yes);
    dialogs.saveAnswers.push_back("/nonexistent-folder/x.plw");
    dialogs.messageAnswers.push_back(QMessageBox::Ok);
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->Pattern.exists());
    EXPECT_TRUE(form->Modified());
    EXPECT_EQ(dialogs.messages.back().icon, UserDialogs::Icon::Critical);
    EXPECT_TRUE(dialogs.allAnswersUsed());
}

TEST_F(ClosingTest, YesSavesAndCloses)
{
    QTemporaryDir dir;
    newPattern(2, 2);
    form->SetModified();
    dialogs.messageAnswers.push_back(QMessageBox::Yes);
    dialogs.saveAnswers.push_back(dir.filePath("a.plw"));
    dialogs.messageAnswers.push_back(QMessageBox::Ok);
    EXPECT_TRUE(form->close());
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("a.plw")));
    EXPECT_TRUE(dialogs.allAnswersUsed());
}

using PaletteTest = WindowTest;

TEST_F(PaletteTest, ASwatchClickChoosesThePaintColourOnlyWhileAPatternIsOpen)
{
    form->Panels[2]->setColor(0x0000C0);
    QTest::mouseClick(form->Panels[2], Qt::LeftButton); // disabled: nothing
    EXPECT_EQ(DisplayForm->swatchColor(), model::White);

    newPattern(4, 4);
    form->Panels[2]->setColor(0x0000C0);
    QTest::mouseClick(form->Panels[2], Qt::LeftButton);
    EXPECT_EQ(form->CurrentColor, 0x0000C0u);
    EXPECT_EQ(DisplayForm->swatchColor(), 0x0000C0u);
    EXPECT_FALSE(form->Modified()); // choosing a colour changes nothing a save would store
}

// What a widget receives from a real double click: a click, then a double-click press and its release.
void doubleClick(QWidget *widget)
{
    QTest::mouseClick(widget, Qt::LeftButton);
    QTest::mouseDClick(widget, Qt::LeftButton);
    QTest::mouseRelease(widget, Qt::LeftButton);
}

TEST_F(PaletteTest, DoubleClickRecoloursTheSlotAndItsCells)
{
    newPattern(3, 1);
    form->Panels[0]->setColor(0x0000FF);
    form->Pattern.Cells = { 0x0000FF, model::White, 0x0000FF };

    dialogs.colorAnswers.push_back(std::nullopt); // cancelled: nothing changes
    doubleClick(form->Panels[0]);
    EXPECT_EQ(form->Panels[0]->color(), 0x0000FFu);
    EXPECT_EQ(form->CurrentColor, 0x0000FFu); // the first click of the double click chose the slot
    EXPECT_FALSE(form->Modified());

    dialogs.colorAnswers.push_back(QColor(0x12, 0x34, 0x56));
    doubleClick(form->Panels[0]);
    const model::TColor chosen = 0x563412; // 0x00BBGGRR
    EXPECT_EQ(form->Panels[0]->color(), chosen);
    EXPECT_EQ(form->CurrentColor, chosen);
    EXPECT_EQ(DisplayForm->swatchColor(), chosen);
    EXPECT_EQ(form->Pattern.Cells, (model::CellArray { chosen, model::White, chosen }));
    EXPECT_TRUE(form->Modified());
    EXPECT_TRUE(dialogs.allAnswersUsed());
}

// Plays the user in the real colour dialog once it is up: the release of the
// double click lands on the dialog, then Enter confirms or Escape cancels.
void answerRealColourDialog(QColor pick, bool confirm)
{
    whenModalUp([=](QWidget &modal) {
        auto *dialog = qobject_cast<QColorDialog *>(&modal);
        ASSERT_NE(dialog, nullptr) << "no colour dialog came up";
        QTest::mouseRelease(dialog, Qt::LeftButton);
        dialog->setCurrentColor(pick);
        QTest::keyClick(dialog, confirm ? Qt::Key_Return : Qt::Key_Escape);
    });
}

TEST_F(PaletteTest, EveryClickAfterADoubleClickChoosesTheSwatchColour)
{
    static QtUserDialogs real;
    dialogs.colorDialogs = &real;
    const QColor blue(0, 0, 255);
    struct Case {
        const char *what;
        bool confirm;
        model::TColor slotAfter;
    };
    const Case cases[] = {
        { "confirmed", true, 0xFF0000 },
        { "cancelled", false, 0x0000FF },
    };
    for (const Case &c : cases) {
        newPattern(3, 1);
        form->Panels[0]->setColor(0x0000FF);
        form->Panels[1]->setColor(0x00FF00);
        QTest::mouseClick(form->Panels[0], Qt::LeftButton);
        answerRealColourDialog(blue, c.confirm);
        QTest::mouseDClick(form->Panels[0], Qt::LeftButton);
        ASSERT_EQ(QApplication::activeModalWidget(), nullptr) << c.what;
        EXPECT_EQ(form->Panels[0]->color(), c.slotAfter) << c.what;

        QTest::mouseClick(form->Panels[1], Qt::LeftButton);
        EXPECT_EQ(form->CurrentColor, 0x00FF00u) << c.what;
        QTest::mouseClick(form->Panels[0], Qt::LeftButton);
        EXPECT_EQ(form->CurrentColor, c.slotAfter) << c.what << ": the first click after the double click";
    }
}
