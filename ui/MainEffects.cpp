#include "model/Transformations.h"
#include "model/UndoCodes.h"
#include "ui/Effects.h"
#include "ui/Main.h"
#include "ui/Messages.h"
#include "ui/Reformat.h"
#include "ui/UserDialogs.h"

#include <QAction>

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
    if (const model::Outcome<> done = model::TransformPattern(transform, Pattern); !done.ok()) {
        ReportFailure(dialogs(), done.failure());
        return;
    }
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
        const model::Outcome<> done = model::TransformPattern(*inverse, Pattern);
        if (!done.ok() && done.failure().kind == model::Failure::Kind::OutOfMemory) {
            // Nothing happened, so the step stays undoable.
            UndoJournal.push_back(code);
            ReportFailure(dialogs(), done.failure());
            return;
        }
        // A halving of a count of 1 leaves the pattern alone but still uses up
        // the letter, so older steps stay reachable.
        if (done.ok())
            AfterTransform(*inverse == model::Transform::Negative);
    }
    if (UndoJournal.empty())
        UndoMenu->setEnabled(false);
}
