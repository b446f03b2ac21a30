// The yarn menu of the palette swatches and the yarn list file.
#include "ui/Main.h"

#include "model/Recolour.h"
#include "model/YarnList.h"
#include "ui/Addpopup.h"
#include "ui/Del.h"
#include "ui/Effects1.h"
#include "ui/FileNames.h"
#include "ui/Messages.h"
#include "ui/PaletteSwatch.h"
#include "ui/UserDialogs.h"

#include <QAction>
#include <QCursor>
#include <QDir>
#include <QMenu>
#include <QStringDecoder>
#include <QStringEncoder>

namespace {

constexpr qsizetype FixedItemCount = 3; // add, delete, separator
const char *const YarnListFileName = "Popupfile";
const char *const YarnCodePage = "windows-1251";

QString yarnListPath()
{
    return QDir::current().filePath(QString::fromLatin1(YarnListFileName));
}

// A name is shown as typed: an ampersand is not an access-key marker here.
QString menuCaption(const QString &name)
{
    return QString(name).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

} // namespace

void TMainForm::Panel1MouseDown(PaletteSwatch *swatch, Qt::MouseButton button)
{
    if (button != Qt::RightButton)
        return;
    PopupSlot = swatch->slot();
    if (AddFromPopupForm)
        AddFromPopupForm->YarnColor = swatch->color();
    if (PopupYarnMenu)
        PopupYarnMenu(QCursor::pos());
}

void TMainForm::Recolour(PaletteSwatch *slot, model::TColor colour)
{
    CurrentColor = colour;
    if (DisplayForm)
        DisplayForm->setSwatchColor(colour);
    if (slot) {
        model::ReplaceColor(Pattern, slot->color(), colour);
        slot->setColor(colour);
    }
    SetModified(); // the slot's colour is saved with the pattern
    DrawGrid();
}

void TMainForm::AllMenuClick(QAction *item)
{
    const bool slotChosen = PopupSlot >= 1 && PopupSlot <= model::PaletteSize;
    Recolour(slotChosen ? Panels[PopupSlot - 1] : nullptr, YarnColour(item));
}

void TMainForm::AddPopupMenuClick()
{
    const qsizetype before = YarnItems().size();
    m_dialogs.runModal(*AddFromPopupForm);
    // Saved however the dialog was closed; only what it added goes into the file as it is now.
    model::YarnList added;
    for (const QAction *item : YarnItems().mid(before))
        added.push_back(StoredYarn(item));
    SaveYarnList([&added](model::YarnList &yarns) { yarns.insert(yarns.end(), added.begin(), added.end()); });
}

void TMainForm::DelPopupMenuClick()
{
    m_dialogs.runModal(*DelForm);
}

QList<QAction *> TMainForm::YarnItems() const
{
    return RightPopupMenu->actions().mid(FixedItemCount);
}

QAction *TMainForm::AddYarnItem(const QString &name, model::TColor colour)
{
    auto *item = new QAction(menuCaption(name), RightPopupMenu);
    item->setData(QVariant::fromValue(quint32(colour)));
    connect(item, &QAction::triggered, this, [this, item] { AllMenuClick(item); });
    RightPopupMenu->addAction(item);
    return item;
}

void TMainForm::RemoveYarnItem(int position)
{
    const QList<QAction *> items = YarnItems();
    if (position < 0 || position >= items.size())
        return;
    RightPopupMenu->removeAction(items[position]);
    delete items[position];
}

QString TMainForm::YarnName(const QAction *item)
{
    return item->text().replace(QStringLiteral("&&"), QStringLiteral("&"));
}

bool TMainForm::YarnNameStorable(const QString &name)
{
    // What cannot be encoded comes back as something else.
    QStringEncoder encoder(YarnCodePage);
    const QByteArray bytes = encoder.encode(name);
    QStringDecoder decoder(YarnCodePage);
    return !encoder.hasError() && QString(decoder.decode(bytes)) == name;
}

model::TColor TMainForm::YarnColour(const QAction *item)
{
    return model::TColor(item->data().value<quint32>());
}

void TMainForm::LoadYarnList()
{
    if (!RightPopupMenu) {
        RightPopupMenu = new QMenu(this);
        RightPopupMenu->setObjectName(QStringLiteral("RightPopupMenu"));
        AddPopupMenu = RightPopupMenu->addAction(QStringLiteral("Добавить"));
        AddPopupMenu->setObjectName(QStringLiteral("AddPopupMenu"));
        DelPopupMenu = RightPopupMenu->addAction(QStringLiteral("Удалить"));
        DelPopupMenu->setObjectName(QStringLiteral("DelPopupMenu"));
        N4 = RightPopupMenu->addSeparator();
        N4->setObjectName(QStringLiteral("N4"));
        connect(AddPopupMenu, &QAction::triggered, this, &TMainForm::AddPopupMenuClick);
        connect(DelPopupMenu, &QAction::triggered, this, &TMainForm::DelPopupMenuClick);
        PopupYarnMenu = [this](const QPoint &where) { RightPopupMenu->popup(where); };
    }

    const model::Outcome<model::YarnList> read = model::ReadYarnListFile(ModelFileName(yarnListPath()));
    if (!read.ok()) {
        // The list starts empty, and the yarns the file may hold are not lost to a save of that empty list.
        m_yarnListUnread = true;
        ReportFailure(m_dialogs, read.failure());
        return;
    }
    // Only a list with names opens the code page: that loads the system's converters.
    if (read.value().empty())
        return;
    QStringDecoder decoder(YarnCodePage);
    for (const model::Yarn &yarn : read.value())
        AddYarnItem(decoder.decode(QByteArrayView(yarn.Name.data(), yarn.Name.size())), yarn.Color);
}

model::Yarn TMainForm::StoredYarn(const QAction *item)
{
    QStringEncoder encoder(YarnCodePage);
    const QByteArray name = encoder.encode(YarnName(item));
    return { name.toStdString(), YarnColour(item) };
}

void TMainForm::ShowYarns(const model::YarnList &yarns)
{
    // Only the items that differ are replaced: a change by another copy is
    // usually one yarn, and rebuilding a long menu is slow.
    const QList<QAction *> items = YarnItems();
    const std::size_t shown = std::size_t(items.size());
    std::size_t head = 0, tail = 0;
    while (head < shown && head < yarns.size() && StoredYarn(items[qsizetype(head)]) == yarns[head])
        ++head;
    while (tail < shown - head && tail < yarns.size() - head
        && StoredYarn(items[qsizetype(shown - 1 - tail)]) == yarns[yarns.size() - 1 - tail])
        ++tail;
    for (std::size_t i = head; i < shown - tail; ++i) {
        RightPopupMenu->removeAction(items[qsizetype(i)]);
        delete items[qsizetype(i)];
    }
    QAction *before = tail > 0 ? items[qsizetype(shown - tail)] : nullptr;
    QStringDecoder decoder(YarnCodePage);
    for (std::size_t i = head; i < yarns.size() - tail; ++i) {
        QAction *item = AddYarnItem(decoder.decode(QByteArrayView(yarns[i].Name.data(), yarns[i].Name.size())), yarns[i].Color);
        if (before) {
            RightPopupMenu->removeAction(item);
            RightPopupMenu->insertAction(before, item);
        }
    }
}

bool TMainForm::SaveYarnList(const model::YarnChange &change)
{
    if (m_yarnListUnread) {
        ShowErrorReport(m_dialogs, Messages::YarnListNotRead(yarnListPath()));
        return false;
    }
    const std::string fileName = ModelFileName(yarnListPath());
    const model::Outcome<model::YarnList> updated = model::UpdateYarnListFile(fileName, change);
    if (!updated.ok()) {
        ReportFailure(m_dialogs, updated.failure());
        // A change refused (a list grown past its limit) is taken back from the menu too.
        if (const model::Outcome<model::YarnList> onDisk = model::ReadYarnListFile(fileName); onDisk.ok())
            ShowYarns(onDisk.value());
        return false;
    }
    ShowYarns(updated.value());
    return true;
}
