// The yarn menu of the palette swatches, the add and delete dialogs and the
// yarn list file they keep. Every test runs in its own temporary folder, which
// is where "Popupfile" goes.
#include "support/WindowFixture.h"
#include "ui/Addpopup.h"
#include "ui/ColourConversion.h"
#include "ui/Del.h"
#include "ui/Effects1.h"
#include "ui/PaletteSwatch.h"

#include "model/YarnList.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {

constexpr model::TColor Red = 0x000000FF;
constexpr model::TColor Green = 0x0000FF00;
constexpr model::TColor Blue = 0x00FF0000;
using Cells = decltype(model::Pattern::Cells);

QByteArray cp1251(const QString &text)
{
    QStringEncoder encoder("windows-1251");
    return encoder.encode(text);
}

} // namespace

class YarnMenuTest : public WindowTest {
protected:
    // The folder changes before the windows exist, since they read the list at creation.
    YarnMenuTest()
        : m_previous(QDir::currentPath())
    {
        QDir::setCurrent(m_folder.path());
    }
    ~YarnMenuTest() override { QDir::setCurrent(m_previous); }

    void SetUp() override
    {
        ASSERT_TRUE(m_folder.isValid());
        WindowTest::SetUp();
        watchPopups();
    }

    // A fresh set of windows, as at the next start of the program.
    void restart()
    {
        windows.reset();
        windows = std::make_unique<ApplicationWindows>(dialogs);
        form = &windows->main();
        form->show();
        watchPopups();
    }

    void watchPopups()
    {
        form->PopupYarnMenu = [this](const QPoint &) { ++popups; };
    }

    void pressOnSlot(int slot, Qt::MouseButton button)
    {
        QTest::mousePress(form->Panels[slot - 1], button);
        QTest::mouseRelease(form->Panels[slot - 1], button);
    }

    QString filePath() const { return m_folder.filePath(QStringLiteral("Popupfile")); }

    QByteArray fileBytes() const
    {
        QFile file(filePath());
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << "no Popupfile";
        return file.readAll();
    }

    void writeFile(const model::YarnList &yarns) const
    {
        ASSERT_TRUE(model::WriteYarnListFile(QFile::encodeName(filePath()).toStdString(), yarns).ok());
    }

    std::vector<std::pair<QString, model::TColor>> menuYarns() const
    {
        std::vector<std::pair<QString, model::TColor>> yarns;
        for (const QAction *item : form->YarnItems())
            yarns.emplace_back(TMainForm::YarnName(item), TMainForm::YarnColour(item));
        return yarns;
    }

    // Plays the add dialog: types the name, then leaves it the given way.
    std::function<int(QDialog &)> addDialog(const QString &name, const std::function<void()> &leave)
    {
        return [this, name, leave](QDialog &) {
            shownColour = AddFromPopupForm->Panel->palette().color(QPalette::Window);
            shownName = AddFromPopupForm->Edit->text();
            focusInName = AddFromPopupForm->focusWidget() == AddFromPopupForm->Edit;
            AddFromPopupForm->Edit->setText(name);
            leave();
            return AddFromPopupForm->result();
        };
    }

    // Start-up reports the file; Add and Delete then change the menu, and
    // every save of the list is refused, leaving the file as it was.
    void expectNeverOverwritten(const QString &startMessage, const QByteArray &onDisk)
    {
        dialogs.messages.clear();
        dialogs.messageAnswers = { QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok };
        restart();
        newPattern(2, 2);
        dialogs.modalHandlers.push_back(
            addDialog(QStringLiteral("new"), [] { QTest::mouseClick(AddFromPopupForm->OKButton, Qt::LeftButton); }));
        form->AddPopupMenuClick();
        EXPECT_EQ(form->YarnItems().size(), 1);
        dialogs.modalHandlers.push_back([](QDialog &) {
            DelForm->ListBox->setCurrentRow(0);
            QTest::mouseClick(DelForm->DelButton, Qt::LeftButton);
            return QDialog::Accepted;
        });
        form->DelPopupMenu->trigger();
        EXPECT_TRUE(form->YarnItems().isEmpty());

        const QString refusal = QStringLiteral("Файл «%1» не был прочитан при запуске и не будет перезаписан.")
                                    .arg(QDir::toNativeSeparators(filePath()));
        ASSERT_EQ(dialogs.messages.size(), 3u);
        for (const auto &[message, text] : { std::pair { dialogs.messages[0], startMessage },
                 std::pair { dialogs.messages[1], refusal }, std::pair { dialogs.messages[2], refusal } }) {
            EXPECT_EQ(message.text, text);
            EXPECT_EQ(message.icon, UserDialogs::Icon::Critical);
        }
        QFile::setPermissions(filePath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QFile file(filePath());
        const bool readable = !QFileInfo(filePath()).isDir() && file.open(QIODevice::ReadOnly);
        EXPECT_EQ(readable ? file.readAll() : QByteArray("<folder>"), onDisk);
    }

    int popups = 0;
    QColor shownColour;
    QString shownName;
    bool focusInName = false;

private:
    QTemporaryDir m_folder;
    QString m_previous;
};

TEST_F(YarnMenuTest, RightPressPointsTheMenuAtThePressedSlotOnly)
{
    newPattern(4, 4);
    for (int slot = 1; slot <= model::PaletteSize; ++slot)
        form->Panels[slot - 1]->setColor(model::TColor(slot * 0x010203));

    int expectedPopups = 0;
    for (int slot : { 1, 7, 16, 7 }) {
        pressOnSlot(slot, Qt::RightButton);
        EXPECT_EQ(form->PopupSlot, slot);
        EXPECT_EQ(AddFromPopupForm->YarnColor, model::TColor(slot * 0x010203));
        EXPECT_EQ(popups, ++expectedPopups);
    }
    // The left button paints; it neither opens the menu nor moves its slot.
    pressOnSlot(3, Qt::LeftButton);
    EXPECT_EQ(form->PopupSlot, 7);
    EXPECT_EQ(popups, expectedPopups);

    const QList<QAction *> items = form->RightPopupMenu->actions();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0]->text(), QStringLiteral("Добавить"));
    EXPECT_EQ(items[1]->text(), QStringLiteral("Удалить"));
    EXPECT_TRUE(items[2]->isSeparator());
}

TEST_F(YarnMenuTest, ChoosingAYarnRecoloursTheSlotAndItsCells)
{
    writeFile({ { "green", Green }, { "blue", Blue } });
    restart();
    newPattern(3, 2);
    form->Panels[2]->setColor(Red);
    form->Panels[5]->setColor(Red);
    form->Pattern.Cells = { Red, model::White, Blue, Red, Red, model::Black };
    form->ClearModified();

    pressOnSlot(3, Qt::RightButton);
    form->YarnItems()[0]->trigger();

    EXPECT_EQ(form->Pattern.Cells, (Cells { Green, model::White, Blue, Green, Green, model::Black }));
    EXPECT_EQ(form->Panels[2]->color(), Green);
    EXPECT_EQ(form->Panels[5]->color(), Red); // another slot of the same colour keeps it
    EXPECT_EQ(form->CurrentColor, Green);
    EXPECT_EQ(DisplayForm->swatchColor(), Green);
    EXPECT_TRUE(form->Modified());

    // A white slot recolours no cell, even when white is chosen away from.
    pressOnSlot(1, Qt::RightButton);
    form->YarnItems()[1]->trigger();
    EXPECT_EQ(form->Panels[0]->color(), Blue);
    EXPECT_EQ(form->Pattern.Cells, (Cells { Green, model::White, Blue, Green, Green, model::Black }));
    EXPECT_EQ(form->CurrentColor, Blue);
}

TEST_F(YarnMenuTest, AddDialogAppendsOnOkOrEnterAndSavesHoweverItCloses)
{
    const QString wool = QStringLiteral("Шерсть & co");
    const struct {
        const char *how;
        QString name;
        std::function<void()> leave;
        bool added;
    } cases[] = {
        { "OK button", wool, [] { QTest::mouseClick(AddFromPopupForm->OKButton, Qt::LeftButton); }, true },
        { "Enter in the name", QStringLiteral("   "), [] { QTest::keyClick(AddFromPopupForm->Edit, Qt::Key_Return); },
            true },
        { "Cancel", QStringLiteral("lost"), [] { QTest::mouseClick(AddFromPopupForm->CancelButton, Qt::LeftButton); },
            false },
        { "close box", QStringLiteral("lost"), [] { AddFromPopupForm->close(); }, false },
    };
    newPattern(2, 2);
    form->Panels[4]->setColor(0x000A0B0C);
    form->ClearModified();
    model::YarnList expected;
    for (const auto &c : cases) {
        pressOnSlot(5, Qt::RightButton);
        dialogs.modalHandlers.push_back(addDialog(c.name, c.leave));
        form->AddPopupMenu->trigger();
        EXPECT_EQ(shownColour, toQColor(0x000A0B0C)) << c.how;
        EXPECT_EQ(shownName, QString()) << c.how;
        EXPECT_TRUE(focusInName) << c.how;
        EXPECT_FALSE(AddFromPopupForm->isVisible()) << c.how;
        if (c.added)
            expected.push_back({ cp1251(c.name).toStdString(), 0x000A0B0C });
        EXPECT_EQ(fileBytes().toStdString(), model::EncodeYarnList(expected)) << c.how;
    }
    ASSERT_EQ(form->YarnItems().size(), 2);
    EXPECT_EQ(TMainForm::YarnName(form->YarnItems()[0]), wool);
    // Adding a yarn changes no slot, no cell, not the colour painted with.
    EXPECT_EQ(form->CurrentColor, model::White);
    EXPECT_FALSE(form->Modified());
    EXPECT_TRUE(dialogs.allAnswersUsed());
}

TEST_F(YarnMenuTest, EmptyNameIsRefusedAndTheDialogStaysOpen)
{
    newPattern(2, 2);
    pressOnSlot(2, Qt::RightButton);
    bool openAfterRefusal = false;
    dialogs.messageAnswers.push_back(QMessageBox::Ok);
    dialogs.modalHandlers.push_back(addDialog(QString(), [&openAfterRefusal] {
        QTest::mouseClick(AddFromPopupForm->OKButton, Qt::LeftButton);
        QTest::keyClick(AddFromPopupForm->Edit, Qt::Key_Enter);
        openAfterRefusal = AddFromPopupForm->isVisible();
        QTest::mouseClick(AddFromPopupForm->CancelButton, Qt::LeftButton);
    }));
    dialogs.messageAnswers.push_back(QMessageBox::Ok);
    form->AddPopupMenuClick();

    EXPECT_TRUE(openAfterRefusal);
    ASSERT_EQ(dialogs.messages.size(), 2u); // once for the button, once for Enter
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Предупреждение"));
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Вы не ввели название цвета"));
    EXPECT_EQ(dialogs.messages[0].buttons, QMessageBox::Ok);
    EXPECT_EQ(dialogs.messages[0].icon, UserDialogs::Icon::Warning);
    EXPECT_TRUE(form->YarnItems().isEmpty());
    // Cancelled with no yarns: an empty file.
    EXPECT_TRUE(QFile::exists(filePath()));
    EXPECT_TRUE(fileBytes().isEmpty());
}

TEST_F(YarnMenuTest, DeleteDialogRemovesTheSelectedYarnAndSavesAtOnce)
{
    const model::YarnList yarns = { { "one", 1 }, { "two", 2 }, { "three", 3 }, { "four", 4 } };
    writeFile(yarns);
    restart();
    newPattern(2, 2);

    QStringList shown;
    QByteArray afterDeletion;
    dialogs.modalHandlers.push_back([&](QDialog &) {
        for (int row = 0; row < DelForm->ListBox->count(); ++row)
            shown << DelForm->ListBox->item(row)->text();
        QTest::mouseClick(DelForm->DelButton, Qt::LeftButton); // nothing selected: nothing happens
        EXPECT_EQ(DelForm->ListBox->count(), 4);
        EXPECT_EQ(form->YarnItems().size(), 4);

        DelForm->ListBox->setCurrentRow(2);
        QTest::mouseClick(DelForm->DelButton, Qt::LeftButton);
        afterDeletion = fileBytes();
        // The selection does not move on to the next name: a second press deletes nothing.
        QTest::mouseClick(DelForm->DelButton, Qt::LeftButton);
        EXPECT_EQ(DelForm->ListBox->count(), 3);
        QTest::mouseClick(DelForm->OKButton, Qt::LeftButton);
        return DelForm->result();
    });
    form->DelPopupMenu->trigger();

    EXPECT_EQ(shown, (QStringList { "one", "two", "three", "four" }));
    const model::YarnList left = { yarns[0], yarns[1], yarns[3] };
    EXPECT_EQ(afterDeletion.toStdString(), model::EncodeYarnList(left));
    EXPECT_EQ(
        menuYarns(), (std::vector<std::pair<QString, model::TColor>> { { "one", 1 }, { "two", 2 }, { "four", 4 } }));
    EXPECT_FALSE(DelForm->isVisible());
}

TEST_F(YarnMenuTest, ChangesByAnotherCopyAreKeptAndShown)
{
    newPattern(2, 2);
    // Another copy of the program adds a yarn before each Add or Delete here.
    writeFile({ { "fromA", 2 } });
    dialogs.modalHandlers.push_back(
        addDialog(QStringLiteral("fromB"), [] { QTest::mouseClick(AddFromPopupForm->OKButton, Qt::LeftButton); }));
    form->AddPopupMenuClick();
    EXPECT_EQ(fileBytes().toStdString(), model::EncodeYarnList({ { "fromA", 2 }, { "fromB", model::White } }));

    writeFile({ { "fromA", 2 }, { "fromB", model::White }, { "fromC", 3 } });
    QStringList shown;
    dialogs.modalHandlers.push_back([&](QDialog &) {
        DelForm->ListBox->setCurrentRow(0);
        QTest::mouseClick(DelForm->DelButton, Qt::LeftButton);
        for (int row = 0; row < DelForm->ListBox->count(); ++row)
            shown << DelForm->ListBox->item(row)->text();
        return QDialog::Accepted;
    });
    form->DelPopupMenu->trigger();
    EXPECT_EQ(shown, (QStringList { "fromB", "fromC" }));
    EXPECT_EQ(menuYarns(), (std::vector<std::pair<QString, model::TColor>> { { "fromB", model::White }, { "fromC", 3 } }));
}

TEST_F(YarnMenuTest, ListIsLoadedAtStartUpAndSurvivesARestart)
{
    EXPECT_TRUE(form->YarnItems().isEmpty()); // no file: an empty list, silently
    EXPECT_FALSE(QFile::exists(filePath()));

    newPattern(2, 2);
    form->Panels[0]->setColor(Blue);
    pressOnSlot(1, Qt::RightButton);
    dialogs.modalHandlers.push_back(addDialog(
        QStringLiteral("Мохер 50/50"), [] { QTest::mouseClick(AddFromPopupForm->OKButton, Qt::LeftButton); }));
    form->AddPopupMenuClick();

    // The file holds the name in the Russian 8-bit code page.
    EXPECT_TRUE(fileBytes().startsWith(cp1251(QStringLiteral("Мохер 50/50")) + '\0'));

    restart();
    EXPECT_EQ(
        menuYarns(), (std::vector<std::pair<QString, model::TColor>> { { QStringLiteral("Мохер 50/50"), Blue } }));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(YarnMenuTest, ListNotReadAtStartUpIsNeverOverwritten)
{
    const QString name = QDir::toNativeSeparators(filePath());
    const QByteArray record = QByteArray::fromStdString(model::EncodeYarnList({ { "wool", Red } }));
    const QByteArray tooLarge = record.repeated((1 << 20) / record.size() + 1);

    ASSERT_TRUE(QDir::current().mkdir(QStringLiteral("Popupfile")));
    expectNeverOverwritten(QStringLiteral("Не удалось прочитать файл «%1»: Это каталог.").arg(name), "<folder>");
    ASSERT_TRUE(QDir::current().rmdir(QStringLiteral("Popupfile")));
    QFile file(filePath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(tooLarge);
    file.close();
    expectNeverOverwritten(QStringLiteral("Файл «%1» слишком велик.").arg(name), tooLarge);
}

// Run as an ordinary user: root may read any file.
class NonRootYarnMenuTest : public YarnMenuTest {
protected:
    void SetUp() override
    {
        if (::geteuid() == 0)
            GTEST_SKIP() << "root may read any file";
        YarnMenuTest::SetUp();
    }
};

TEST_F(NonRootYarnMenuTest, UnreadableListIsNeverOverwritten)
{
    writeFile({ { "wool", Red } });
    QFile::setPermissions(filePath(), QFileDevice::WriteOwner);
    expectNeverOverwritten(
        QStringLiteral("Не удалось прочитать файл «%1»: Доступ запрещён.").arg(QDir::toNativeSeparators(filePath())),
        QByteArray::fromStdString(model::EncodeYarnList({ { "wool", Red } })));
}

TEST_F(YarnMenuTest, OnlyNamesTheFileGivesBackWholeAreTaken)
{
    // Typed key by key, as the keyboard would, whatever the script.
    const auto type = [](QWidget *field, const QString &text) {
        for (QChar ch : text)
            QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    };
    const QString sixty(60, QChar(u'ж'));
    const struct {
        const char *what;
        QString typed;
        QString kept; // empty: refused
    } cases[] = {
        { "longer than the file holds", sixty, sixty.left(47) },
        { "in the code page", QStringLiteral("Wool № 5 €"), QStringLiteral("Wool № 5 €") },
        { "a sign outside it", QStringLiteral("Пряжа ✓"), QString() },
        { "another script", QStringLiteral("毛线"), QString() },
    };
    newPattern(2, 2);
    form->Panels[0]->setColor(Blue);
    std::vector<std::pair<QString, model::TColor>> expected;
    for (const auto &c : cases) {
        const bool refused = c.kept.isEmpty();
        dialogs.messages.clear();
        if (refused)
            dialogs.messageAnswers.push_back(QMessageBox::Ok);
        QString inField;
        bool openAfterOk = false;
        pressOnSlot(1, Qt::RightButton);
        dialogs.modalHandlers.push_back([&](QDialog &) {
            type(AddFromPopupForm->Edit, c.typed);
            inField = AddFromPopupForm->Edit->text();
            QTest::mouseClick(AddFromPopupForm->OKButton, Qt::LeftButton);
            openAfterOk = AddFromPopupForm->isVisible();
            if (openAfterOk)
                QTest::mouseClick(AddFromPopupForm->CancelButton, Qt::LeftButton);
            return AddFromPopupForm->result();
        });
        form->AddPopupMenu->trigger();
        EXPECT_EQ(inField, refused ? c.typed : c.kept) << c.what;
        EXPECT_EQ(openAfterOk, refused) << c.what;
        if (refused) {
            ASSERT_EQ(dialogs.messages.size(), 1u) << c.what;
            EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Предупреждение"));
            EXPECT_EQ(
                dialogs.messages[0].text, QStringLiteral("Название цвета содержит знаки, которые нельзя сохранить"));
            EXPECT_EQ(dialogs.messages[0].buttons, QMessageBox::Ok);
            EXPECT_EQ(dialogs.messages[0].icon, UserDialogs::Icon::Warning);
        } else {
            expected.emplace_back(c.kept, Blue);
        }
    }
    restart();
    EXPECT_EQ(menuYarns(), expected);
    EXPECT_TRUE(dialogs.allAnswersUsed());
}
