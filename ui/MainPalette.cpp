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
    m_dialogs.runModal(*AddFromPopupForm);
    // Saved however the dialog was closed.
    SaveYarnList();
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
    QStringDecoder decoder(YarnCodePage);
    for (const model::Yarn &yarn : read.value())
        AddYarnItem(decoder.decode(QByteArrayView(yarn.Name.data(), yarn.Name.size())), yarn.Color);
}

bool TMainForm::SaveYarnList()
{
    if (m_yarnListUnread) {
        ShowErrorReport(m_dialogs, Messages::YarnListNotRead(yarnListPath()));
        return false;
    }
    QStringEncoder encoder(YarnCodePage);
    model::YarnList yarns;
    for (const QAction *item : YarnItems()) {
        const QByteArray name = encoder.encode(YarnName(item));
        yarns.push_back({ name.toStdString(), YarnColour(item) });
    }
    const model::Outcome<> written = model::WriteYarnListFile(ModelFileName(yarnListPath()), yarns);
    if (!written.ok()) {
        ReportFailure(m_dialogs, written.failure());
        return false;
    }
    return true;
}
