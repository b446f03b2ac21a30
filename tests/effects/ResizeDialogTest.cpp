// The resize dialog, run through the main window's Ctrl+Q item.
#include "model/Limits.h"
#include "support/WindowFixture.h"
#include "ui/GridView.h"
#include "ui/Reformat.h"
#include "ui/WholeNumberField.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

class ResizeTest : public WindowTest {
protected:
    // Opens the dialog; `user` plays the user in it and returns the result.
    void openResize(std::function<int(QDialog &)> user)
    {
        dialogs.modalHandlers.push_back(std::move(user));
        form->PicSizeMenu->trigger();
        EXPECT_TRUE(dialogs.allAnswersUsed());
    }
    // Types the counts, picks the sides and presses OK.
    static std::function<int(QDialog &)> resizeTo(int stitches, int rows, int rowItem = 0, int stitchItem = 0)
    {
        return [=](QDialog &dialog) {
            ReFormatForm->CSpinEdit2->lineEdit()->setText(QString::number(rows));
            ReFormatForm->CSpinEdit4->lineEdit()->setText(QString::number(stitches));
            ReFormatForm->RadioGroupItems[std::size_t(rowItem)]->setChecked(true);
            ReFormatForm->RadioGroup1Items[std::size_t(stitchItem)]->setChecked(true);
            QTest::mouseClick(ReFormatForm->OKButton, Qt::LeftButton);
            return dialog.result();
        };
    }
    // Each cell's colour names its place: s + 1000 * r.
    void paintPlaces()
    {
        for (int r = 0; r < form->Pattern.RowCount; ++r)
            for (int s = 0; s < form->Pattern.StitchCount; ++s)
                form->Pattern.at(s, r) = model::TColor(s + 1000 * r);
    }
};

TEST_F(ResizeTest, GroupsAppearWithCaptionsAsTheFieldsChange)
{
    newPattern(24, 100);
    openResize([](QDialog &) {
        TReFormatForm &f = *ReFormatForm;
        EXPECT_EQ(f.RowLabel->text(), "100");
        EXPECT_EQ(f.LoopLabel->text(), "24");
        EXPECT_EQ(f.CSpinEdit2->lineEdit()->text(), "100");
        EXPECT_EQ(f.CSpinEdit4->lineEdit()->text(), "24");
        EXPECT_FALSE(f.RadioGroup->isVisible());
        EXPECT_FALSE(f.RadioGroup1->isVisible());

        struct Step {
            WholeNumberField *field;
            QString text;
            QGroupBox *group;
            bool shown;
            QString caption;
        };
        const std::vector<Step> steps = {
            { f.CSpinEdit2, "120", f.RadioGroup, true, "Добавить ряды" },
            { f.CSpinEdit2, "99", f.RadioGroup, true, "Удалить ряды" },
            { f.CSpinEdit2, "100", f.RadioGroup, false, "" },
            { f.CSpinEdit4, "25", f.RadioGroup1, true, "Добавить петли" },
            { f.CSpinEdit4, "abc", f.RadioGroup1, true, "Удалить петли" }, // reads as 1
            { f.CSpinEdit4, "5000", f.RadioGroup1, true, "Добавить петли" },
            { f.CSpinEdit4, "24", f.RadioGroup1, false, "" },
        };
        for (const Step &step : steps) {
            step.field->lineEdit()->setText(step.text);
            EXPECT_EQ(step.group->isVisible(), step.shown) << step.text.toStdString();
            if (step.shown) {
                EXPECT_EQ(step.group->title(), step.caption) << step.text.toStdString();
            }
        }
        QTest::mouseClick(f.CancelButton, Qt::LeftButton);
        return f.result();
    });
    EXPECT_EQ(form->Pattern.RowCount, 100);
    EXPECT_EQ(form->Pattern.StitchCount, 24);
}

TEST_F(ResizeTest, SideChoicesAreRememberedAndGroupsHideAfterAResize)
{
    newPattern(24, 100);
    openResize(resizeTo(24, 120, 1, 1));
    EXPECT_EQ(form->Pattern.RowCount, 120);
    openResize([](QDialog &) {
        // The fields already showed the new counts: the groups still hide.
        EXPECT_FALSE(ReFormatForm->RadioGroup->isVisible());
        EXPECT_FALSE(ReFormatForm->RadioGroup1->isVisible());
        EXPECT_EQ(ReFormatForm->RowLabel->text(), "120");
        EXPECT_TRUE(ReFormatForm->RadioGroupItems[1]->isChecked());
        EXPECT_TRUE(ReFormatForm->RadioGroup1Items[1]->isChecked());
        ReFormatForm->CancelButtonClick();
        return 0;
    });
}

TEST_F(ResizeTest, GrowingAtTheBottomKeepsTheTopAndAsksNothing)
{
    newPattern(24, 100);
    paintPlaces();
    openResize(resizeTo(24, 120, 1, 0));
    EXPECT_TRUE(dialogs.messages.empty());
    ASSERT_EQ(form->Pattern.RowCount, 120);
    EXPECT_EQ(form->Pattern.at(5, 99), model::TColor(5 + 1000 * 99));
    EXPECT_EQ(form->Pattern.at(5, 100), model::White);
    EXPECT_TRUE(form->Modified());
    const int step = form->CellPitch() - 1;
    EXPECT_EQ(form->MainScrollBox->paintAreaSize(), QSize(24 * step, 120 * step));
}

TEST_F(ResizeTest, ShrinkingWarnsAndNoKeepsThePattern)
{
    newPattern(24, 100);
    paintPlaces();
    const model::Pattern before = form->Pattern;
    dialogs.messageAnswers.push_back(QMessageBox::No);
    openResize(resizeTo(20, 100, 0, 1));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, QString());
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Часть рисунка исчезнет! Продолжить?"));
    EXPECT_EQ(dialogs.messages[0].buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(dialogs.messages[0].icon, UserDialogs::Icon::Question);
    EXPECT_EQ(form->Pattern, before);
    EXPECT_FALSE(form->Modified());
}

TEST_F(ResizeTest, ShrinkRowsAtTopAndGrowStitchesOnTheLeft)
{
    newPattern(24, 100);
    paintPlaces();
    form->UndoJournal = "q";
    dialogs.messageAnswers.push_back(QMessageBox::Yes);
    openResize(resizeTo(30, 90, 0, 1));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    ASSERT_EQ(form->Pattern.StitchCount, 30);
    ASSERT_EQ(form->Pattern.RowCount, 90);
    // Old rows 1..90 (grid rows 10..99) stay, six stitches further right.
    for (int r = 0; r < 90; ++r) {
        for (int s = 0; s < 6; ++s)
            EXPECT_EQ(form->Pattern.at(s, r), model::White);
        for (int s = 6; s < 30; ++s)
            EXPECT_EQ(form->Pattern.at(s, r), model::TColor(s - 6 + 1000 * (r + 10)));
    }
    EXPECT_TRUE(form->Modified());
    EXPECT_EQ(form->UndoJournal, "q");
}

TEST_F(ResizeTest, OkWithUnchangedCountsDoesNothing)
{
    newPattern(24, 100);
    paintPlaces();
    const model::Pattern before = form->Pattern;
    openResize(clickButton("OKButton"));
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(form->Pattern, before);
    EXPECT_FALSE(form->Modified());
}

TEST_F(ResizeTest, FieldsReachCountsAboveAThousandAndChangingOneKeepsTheOther)
{
    struct Case {
        const char *what;
        int stitches, rows, copyButton, copies;
        WholeNumberField *TReFormatForm::*kept;
        WholeNumberField *TReFormatForm::*typed;
        int expectStitches, expectRows;
    };
    // Copying doubles a count past the 1000 a fresh dialog would allow.
    const Case cases[] = {
        { "rows", 24, 800, 2, 1, &TReFormatForm::CSpinEdit2, &TReFormatForm::CSpinEdit4, 30, 1600 },
        { "stitches", 400, 2, 1, 2, &TReFormatForm::CSpinEdit4, &TReFormatForm::CSpinEdit2, 1600, 30 },
    };
    for (const Case &c : cases) {
        newPattern(c.stitches, c.rows);
        for (int i = 0; i < c.copies; ++i)
            form->RunTransformButton(c.copyButton);
        const int keptCount = std::max(form->Pattern.StitchCount, form->Pattern.RowCount);
        ASSERT_GT(keptCount, 1000) << c.what;
        openResize([&](QDialog &dialog) {
            EXPECT_EQ((ReFormatForm->*c.kept)->lineEdit()->text(), QString::number(keptCount)) << c.what;
            (ReFormatForm->*c.typed)->lineEdit()->setText("30");
            QTest::mouseClick(ReFormatForm->OKButton, Qt::LeftButton);
            return dialog.result();
        });
        EXPECT_EQ(form->Pattern.StitchCount, c.expectStitches) << c.what;
        EXPECT_EQ(form->Pattern.RowCount, c.expectRows) << c.what;
    }
}

TEST_F(ResizeTest, SevenDigitCountsShowWhole)
{
    newPattern(2, 2);
    model::CreateBlank(form->Pattern, int(model::MaxCount), 1);
    form->RefreshAfterTransform();
    openResize([](QDialog &) {
        TReFormatForm &f = *ReFormatForm;
        EXPECT_EQ(f.LoopLabel->text(), QString::number(model::MaxCount));
        EXPECT_LE(f.LoopLabel->sizeHint().width(), f.LoopLabel->width());
        EXPECT_EQ(f.CSpinEdit4->value(), model::MaxCount);
        EXPECT_LE(f.CSpinEdit4->sizeHint().width(), f.CSpinEdit4->width());
        for (const QWidget *w : std::initializer_list<const QWidget *> { f.LoopLabel, f.Label2, f.CSpinEdit4 })
            EXPECT_TRUE(f.rect().contains(w->geometry())) << w->objectName().toStdString();
        EXPECT_FALSE(f.LoopLabel->geometry().intersects(f.Label2->geometry()));
        EXPECT_FALSE(f.Label2->geometry().intersects(f.CSpinEdit4->geometry()));
        return 0;
    });
}

} // namespace
