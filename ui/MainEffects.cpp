#include "model/Transformations.h"
#include "model/UndoCodes.h"
#include "ui/Application.h"
#include "ui/Effects.h"
#include "ui/Main.h"
#include "ui/Reformat.h"
#include "ui/UserDialogs.h"

#include <QAction>

namespace {

// Reports a refused operation; true when the pattern was replaced.
bool reportOutcome(UserDialogs &dialogs, const model::TransformOutcome &outcome)
{
    switch (outcome.status) {
    case model::TransformStatus::Done:
        return true;
    case model::TransformStatus::TooLarge:
        ShowErrorReport(dialogs,
            QStringLiteral("Рисунок станет слишком большим: %1 × %2")
                .arg(outcome.result.StitchCount)
                .arg(outcome.result.RowCount));
        break;
    case model::TransformStatus::OutOfMemory:
        ShowErrorReport(dialogs, QStringLiteral("Недостаточно памяти для преобразования рисунка"));
        break;
    case model::TransformStatus::NoPattern:
    case model::TransformStatus::EmptyResult:
        break;
    }
    return false;
}

} // namespace

void TMainForm::CB1MenuClick()
{
    EffectsForm->setVisible(!EffectsForm->isVisible());
    CB1Menu->setChecked(EffectsForm->isVisible());
}

void TMainForm::PicSizeMenuClick()
{
    if (!Pattern.exists())
        return;
    dialogs().runModal(*ReFormatForm);
}

void TMainForm::AppendJournalCode(char code)
{
    UndoMenu->setEnabled(true);
    UndoJournal.push_back(code);
}

void TMainForm::RunTransformButton(int button)
{
    if (!Pattern.exists())
        return;
    const model::Transform transform = model::ButtonTransform(button);
    // The letter is recorded only for a transformation that took place, so a
    // refused one leaves the journal and the undo item as they were.
    if (!reportOutcome(dialogs(), model::TransformPattern(transform, Pattern)))
        return;
    AppendJournalCode(model::JournalCodes[std::size_t(button - 1)]);
    AfterTransform(transform == model::Transform::Negative);
}

void TMainForm::UndoMenuClick()
{
    // With no pattern (after a cancelled New) the letter waits for the next one.
    if (UndoJournal.empty() || !Pattern.exists())
        return;
    const char code = UndoJournal.back();
    UndoJournal.pop_back();
    if (const auto inverse = model::UndoTransformForCode(code)) {
        const model::TransformOutcome outcome = model::TransformPattern(*inverse, Pattern);
        if (outcome.status == model::TransformStatus::OutOfMemory) {
            // Nothing happened, so the step stays undoable.
            UndoJournal.push_back(code);
            reportOutcome(dialogs(), outcome);
            return;
        }
        // A halving of a count of 1 leaves the pattern alone but still uses up
        // the letter, so older steps stay reachable.
        if (outcome.status == model::TransformStatus::Done)
            AfterTransform(*inverse == model::Transform::Negative);
    }
    if (UndoJournal.empty())
        UndoMenu->setEnabled(false);
}
