#include "ui/Del.h"

#include "ui/DialogParts.h"
#include "ui/Main.h"

#include "model/YarnList.h"

#include <QAction>
#include <QListWidget>
#include <QPushButton>

TDelForm *DelForm = nullptr;

TDelForm::TDelForm(TMainForm &owner)
    : QDialog(&owner)
    , m_owner(owner)
{
    setUpFixedDialog(*this, "DelForm", QStringLiteral("Удаление шерсти из списка"), QSize(297, 343));

    ListBox = new QListWidget(this);
    ListBox->setObjectName(QStringLiteral("ListBox"));
    ListBox->setGeometry(8, 8, 281, 297);
    ListBox->setSelectionMode(QAbstractItemView::SingleSelection);

    DelButton = addDialogButton(this, "DelButton", QStringLiteral("Удалить"), QRect(51, 312, 75, 25));
    OKButton = addDialogButton(this, "OKButton", QStringLiteral("OK"), QRect(171, 312, 75, 25));
    // No default button: Enter must never delete a yarn by itself.
    DelButton->setAutoDefault(false);
    OKButton->setAutoDefault(false);

    connect(DelButton, &QPushButton::clicked, this, &TDelForm::DelButtonClick);
    connect(OKButton, &QPushButton::clicked, this, &TDelForm::OKButtonClick);
}

void TDelForm::FormActivate()
{
    ListBox->clear();
    for (const QAction *item : m_owner.YarnItems())
        ListBox->addItem(TMainForm::YarnName(item));
}

void TDelForm::DelButtonClick()
{
    const QList<QListWidgetItem *> selected = ListBox->selectedItems();
    if (selected.isEmpty())
        return;
    const int position = ListBox->row(selected.front());
    const QList<QAction *> items = m_owner.YarnItems();
    if (position >= items.size())
        return;
    const model::Yarn yarn = TMainForm::StoredYarn(items[position]);
    delete ListBox->takeItem(position);
    // The next entry must not become selected by itself: one press, one deletion.
    ListBox->clearSelection();
    m_owner.RemoveYarnItem(position);
    m_owner.SaveYarnList(
        [position, &yarn](model::YarnList &yarns) { model::RemoveYarn(yarns, std::size_t(position), yarn); });
    // Another copy may have changed the list meanwhile: show what the file holds.
    const QList<QAction *> now = m_owner.YarnItems();
    bool same = now.size() == ListBox->count();
    for (int row = 0; same && row < ListBox->count(); ++row)
        same = ListBox->item(row)->text() == TMainForm::YarnName(now[row]);
    if (!same)
        FormActivate();
}

void TDelForm::OKButtonClick()
{
    done(1);
}

void TDelForm::showEvent(QShowEvent *event)
{
    centreOnDesktop(*this);
    QDialog::showEvent(event);
    FormActivate();
}
