// The Open and Save commands: dialogs, prompts, messages, and an editor that
// no refused file or failed save ever costs its pattern or notes.
#include "support/FileSupport.h"
#include "support/WindowFixture.h"
#include "ui/Effects1.h"
#include "ui/FileNames.h"
#include "ui/GridView.h"
#include "ui/Memo.h"
#include "ui/New.h"
#include "ui/PaletteSwatch.h"

#include "model/PatternFile.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>

#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString SaveQuestion = QStringLiteral("Вы хотите сохранить текущий рисунок?");
const QString Saved = QStringLiteral("Рисунок успешно сохранен");

// The shared byte helpers, for the names and bytes the windows use. A missing
// file reads as a marker, so it never passes for an empty one.
QByteArray fileBytes(const QString &name)
{
    return QFile::exists(name) ? QByteArray::fromStdString(readBytes(ModelFileName(name))) : "<missing>";
}

void putBytes(const QString &name, const QByteArray &bytes)
{
    writeBytes(ModelFileName(name), bytes.toStdString());
}

QByteArray le32(std::uint32_t value)
{
    std::string bytes;
    putLe32(bytes, value);
    return QByteArray::fromStdString(bytes);
}

// What a refused open or failed save must leave exactly as it was.
struct EditorSnapshot {
    model::Pattern pattern;
    model::Palette palette;
    QString notes;
    bool modified;
    bool patternOpen;
    bool operator==(const EditorSnapshot &) const = default;
};

class OpenSaveTest : public WindowTest {
protected:
    QString path(const QString &name) const { return folder.filePath(name); }

    // A 5 x 4 pattern with a few colours, a palette and notes, modified.
    void paintedPattern()
    {
        newPattern(5, 4);
        model::Palette palette;
        for (int slot = 0; slot < model::PaletteSize; ++slot)
            palette[slot] = 0x00101010u * std::uint32_t(slot);
        form->setYarnPalette(palette);
        form->Pattern.at(0, 0) = 0x000000FF;
        form->Pattern.at(4, 3) = 0x00FF0000;
        MemoForm->setNotesText(QStringLiteral("Пряжа: шерсть\nПлотность 24"));
        form->SetModified();
    }

    EditorSnapshot snapshot() const
    {
        return { form->Pattern, form->yarnPalette(), MemoForm->notesText(), form->Modified(), form->PatternOpen };
    }

    void save(const QString &name)
    {
        dialogs.saveAnswers.push_back(name);
        dialogs.messageAnswers.push_back(QMessageBox::Ok);
        EXPECT_TRUE(form->MenuSaveClick());
    }

    // Opening a file that must be refused: one error, no question, nothing changed.
    void expectRefused(const QString &name, const QString &message)
    {
        const EditorSnapshot before = snapshot();
        dialogs.messages.clear();
        dialogs.openAnswers.push_back(name);
        dialogs.messageAnswers.push_back(QMessageBox::Ok);
        form->MenuOpenClick();
        ASSERT_EQ(dialogs.messages.size(), 1u) << message.toStdString();
        EXPECT_EQ(dialogs.messages[0].text, message);
        EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Purlwise"));
        EXPECT_EQ(dialogs.messages[0].icon, UserDialogs::Icon::Critical);
        EXPECT_EQ(dialogs.messages[0].buttons, QMessageBox::Ok);
        EXPECT_TRUE(snapshot() == before) << message.toStdString();
    }

    QTemporaryDir folder;
};

} // namespace

TEST_F(OpenSaveTest, SavedPatternOpensAgainWithItsPaletteAndNotes)
{
    paintedPattern();
    const EditorSnapshot saved = snapshot();
    save(path("motif.plw"));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, Saved);
    EXPECT_EQ(dialogs.messages[0].caption, QString());
    EXPECT_EQ(dialogs.messages[0].icon, UserDialogs::Icon::Information);
    EXPECT_EQ(dialogs.messages[0].buttons, QMessageBox::Ok);
    EXPECT_FALSE(form->Modified());
    EXPECT_TRUE(form->MenuSave->isEnabled());
    EXPECT_EQ(fileBytes(path("motif.plw")).size(), 76 + 4 * 20);
    EXPECT_EQ(fileBytes(path("motif.plw.txt")),
        QByteArray("\xCF\xF0\xFF\xE6\xE0: \xF8\xE5\xF0\xF1\xF2\xFC\r\n"
                   "\xCF\xEB\xEE\xF2\xED\xEE\xF1\xF2\xFC 24"));

    newPattern(2, 2);
    MemoForm->setNotesText(QStringLiteral("other"));
    dialogs.openAnswers.push_back(path("motif.plw"));
    dialogs.messageAnswers.push_back(QMessageBox::No);
    form->MenuOpenClick();
    EXPECT_EQ(dialogs.messages.back().text, SaveQuestion);
    EXPECT_EQ(dialogs.messages.back().caption, QString());
    EXPECT_EQ(dialogs.messages.back().icon, UserDialogs::Icon::Warning);
    EXPECT_EQ(dialogs.messages.back().buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);

    EditorSnapshot expected = saved;
    expected.modified = false;
    EXPECT_TRUE(snapshot() == expected);
    EXPECT_EQ(form->CurrentColor, model::White);
    EXPECT_FALSE(form->SaveToolButn->isEnabled());
    EXPECT_TRUE(form->MenuSave->isEnabled());
    for (const auto *panel : form->Panels)
        EXPECT_TRUE(panel->isEnabled());
    EXPECT_TRUE(MemoForm->Memo->isEnabled());
    EXPECT_TRUE(dialogs.allAnswersUsed());
}

TEST_F(OpenSaveTest, DialogsOfferTheirFilterAndTheNameLastChosen)
{
    paintedPattern();
    save(path("first.plw"));
    save(path("second.plw"));
    ASSERT_EQ(dialogs.saveRequests.size(), 2u);
    EXPECT_EQ(dialogs.saveRequests[0].title, QStringLiteral("Сохранение рисунка..."));
    EXPECT_EQ(dialogs.saveRequests[0].filter, QStringLiteral("Файл рисунка (*.plw)"));
    EXPECT_EQ(dialogs.saveRequests[0].defaultSuffix, QStringLiteral("plw"));
    EXPECT_EQ(dialogs.saveRequests[0].initialPath, QString());
    EXPECT_EQ(dialogs.saveRequests[1].initialPath, path("first.plw"));

    // A cancelled dialog writes nothing and keeps Modified.
    form->SetModified();
    dialogs.saveAnswers.push_back(QString());
    EXPECT_FALSE(form->MenuSaveClick());
    EXPECT_TRUE(form->Modified());
    EXPECT_EQ(dialogs.saveRequests[2].initialPath, path("second.plw"));

    dialogs.openAnswers.push_back(QString());
    form->MenuOpenClick();
    dialogs.openAnswers.push_back(path("first.plw"));
    dialogs.messageAnswers.push_back(QMessageBox::Cancel);
    form->MenuOpenClick();
    dialogs.openAnswers.push_back(QString());
    form->MenuOpenClick();
    ASSERT_EQ(dialogs.openRequests.size(), 3u);
    EXPECT_EQ(dialogs.openRequests[0].title, QStringLiteral("Открытие рисунка..."));
    EXPECT_EQ(dialogs.openRequests[0].filter, QStringLiteral("Файл рисунка (*.plw)"));
    EXPECT_EQ(dialogs.openRequests[0].defaultSuffix, QStringLiteral("plw"));
    EXPECT_EQ(dialogs.openRequests[1].initialPath, QString());
    EXPECT_EQ(dialogs.openRequests[2].initialPath, path("first.plw"));
    EXPECT_TRUE(dialogs.allAnswersUsed());
}

TEST_F(OpenSaveTest, CancelledOpenLeavesEverythingEvenAfterTheFileWasChosen)
{
    paintedPattern();
    save(path("motif.plw"));
    form->Pattern.at(1, 1) = 0x00123456;
    form->SetModified();
    const EditorSnapshot before = snapshot();

    dialogs.openAnswers.push_back(QString());
    form->MenuOpenClick();
    EXPECT_TRUE(snapshot() == before);

    dialogs.openAnswers.push_back(path("motif.plw"));
    dialogs.messageAnswers.push_back(QMessageBox::Cancel);
    form->MenuOpenClick();
    EXPECT_TRUE(snapshot() == before);
    EXPECT_TRUE(dialogs.allAnswersUsed());
}

TEST_F(OpenSaveTest, OpeningWithNoPatternAsksNothingAndShowsTheBottomRow)
{
    model::Pattern pattern;
    model::CreateBlank(pattern, 30, 400);
    const QByteArray bytes = [&] {
        const auto encoded = model::EncodePatternFile(pattern, model::WhitePalette());
        return QByteArray(reinterpret_cast<const char *>(encoded.data()), qsizetype(encoded.size()));
    }();
    putBytes(path("tall.plw"), bytes);

    dialogs.openAnswers.push_back(path("tall.plw"));
    form->MenuOpenClick();
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(form->Pattern, pattern);
    EXPECT_TRUE(form->PatternOpen);
    EXPECT_EQ(MemoForm->notesText(), QString());
    QScrollBar *vertical = form->MainScrollBox->verticalScrollBar();
    EXPECT_EQ(vertical->singleStep(), 19);
    EXPECT_EQ(form->MainScrollBox->horizontalScrollBar()->singleStep(), 19);
    EXPECT_GT(vertical->maximum(), 0);
    EXPECT_EQ(vertical->value(), vertical->maximum());
}

TEST_F(OpenSaveTest, LegacyFileOpensWithItsPalette)
{
    QByteArray bytes;
    bytes.append(char(10)).append(char(5));
    for (int slot = 0; slot < model::PaletteSize; ++slot)
        bytes.append(le32(0x00010101u * std::uint32_t(slot + 1)));
    for (int cell = 0; cell < 50; ++cell)
        bytes.append(le32(cell % 7 == 0 ? 0x000000FF : model::White));
    ASSERT_EQ(bytes.size(), 266);
    putBytes(path("old.plw"), bytes);

    dialogs.openAnswers.push_back(path("old.plw"));
    form->MenuOpenClick();
    EXPECT_EQ(form->Pattern.StitchCount, 10);
    EXPECT_EQ(form->Pattern.RowCount, 5);
    EXPECT_EQ(form->Pattern.at(0, 0), 0x000000FFu);
    EXPECT_EQ(form->Pattern.at(1, 0), model::White);
    EXPECT_EQ(form->Pattern.at(9, 4), 0x000000FFu); // cell 49
    EXPECT_EQ(form->yarnPalette()[0], 0x00010101u);
    EXPECT_EQ(form->yarnPalette()[15], 0x00101010u);
}

TEST_F(OpenSaveTest, RefusedFilesLeaveTheEditorUntouched)
{
    paintedPattern();
    save(path("good.plw"));
    form->SetModified();

    QByteArray header = le32(2) + le32(3) + le32(2) + QByteArray(64, '\xFF');
    putBytes(path("short.plw"), header + QByteArray(23, '\0'));
    putBytes(path("zero.plw"), le32(2) + le32(0) + le32(2) + QByteArray(64, '\xFF'));
    putBytes(path("huge.plw"), le32(2) + le32(5000) + le32(20000) + QByteArray(64, '\xFF'));
    putBytes(path("legacy-empty.plw"), QByteArray(2, '\0') + QByteArray(64, '\xFF'));
    putBytes(path("tiny.plw"), "ab");
    QDir(folder.path()).mkdir(QStringLiteral("folder.plw"));

    const auto damaged = [&](const QString &name) {
        return QStringLiteral("Файл «%1» повреждён или не является файлом рисунка.").arg(path(name));
    };
    // A writer is open, so only an Open that reads the pipe could get stuck on it.
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("pipe.plw")).constData(), 0644), 0);
    const int writer = ::open(QFile::encodeName(path("pipe.plw")).constData(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(writer, 0);
    ::write(writer, header.constData(), std::size_t(header.size()));

    expectRefused(path("absent.plw"),
        QStringLiteral("Не удалось прочитать файл «%1»: Файл или каталог не существует.").arg(path("absent.plw")));
    expectRefused(
        path("folder.plw"), QStringLiteral("Не удалось прочитать файл «%1»: Это каталог.").arg(path("folder.plw")));
    expectRefused(path("pipe.plw"),
        QStringLiteral("Не удалось прочитать файл «%1»: Не является обычным файлом.").arg(path("pipe.plw")));
    ::close(writer);
    expectRefused(path("short.plw"), damaged("short.plw"));
    expectRefused(path("zero.plw"), damaged("zero.plw"));
    expectRefused(path("legacy-empty.plw"), damaged("legacy-empty.plw"));
    expectRefused(path("tiny.plw"), damaged("tiny.plw"));
    expectRefused(
        path("huge.plw"), QStringLiteral("Рисунок в файле «%1» слишком велик: 5000 × 20000.").arg(path("huge.plw")));
    EXPECT_TRUE(dialogs.allAnswersUsed());
}

TEST_F(OpenSaveTest, MissingNotesFileOpensWithEmptyNotes)
{
    paintedPattern();
    save(path("motif.plw"));
    QFile::remove(path("motif.plw.txt"));

    dialogs.openAnswers.push_back(path("motif.plw"));
    dialogs.messageAnswers.push_back(QMessageBox::No);
    form->MenuOpenClick();
    EXPECT_EQ(MemoForm->notesText(), QString());
    EXPECT_EQ(form->Pattern.at(0, 0), 0x000000FFu);
}

TEST_F(OpenSaveTest, NotesThatCannotBeReadRefuseTheWholeOpen)
{
    paintedPattern();
    save(path("motif.plw"));
    form->SetModified();
    const QString notes = path("motif.plw.txt");
    const QByteArray onDisk = QFile::encodeName(notes);
    const std::pair<std::function<void()>, QString> cases[] = {
        { [&] { ::mkdir(onDisk.constData(), 0755); }, QStringLiteral("Не удалось прочитать файл «%1»: Это каталог.") },
        { [&] {
             putBytes(notes, QByteArray());
             ::truncate(onDisk.constData(), (16 << 20) + 1);
         },
            QStringLiteral("Файл «%1» слишком велик.") },
        { [&] { ::mkfifo(onDisk.constData(), 0644); },
            QStringLiteral("Не удалось прочитать файл «%1»: Не является обычным файлом.") },
    };
    for (const auto &[arrange, message] : cases) {
        ::unlink(onDisk.constData());
        ::rmdir(onDisk.constData());
        arrange();
        expectRefused(path("motif.plw"), message.arg(notes));
    }
}

TEST_F(OpenSaveTest, EmptyNotesReplaceAnExistingNotesFile)
{
    paintedPattern();
    putBytes(path("motif.plw.txt"), "old notes");
    MemoForm->setNotesText(QString());
    save(path("motif.plw"));
    EXPECT_TRUE(QFile::exists(path("motif.plw.txt")));
    EXPECT_EQ(fileBytes(path("motif.plw.txt")), QByteArray());
}

TEST_F(OpenSaveTest, FailedSaveKeepsTheOldFilesAndReportsNoSuccess)
{
    paintedPattern();
    putBytes(path("motif.plw"), "old pattern");
    putBytes(path("motif.plw.txt"), "old notes");
    form->Pattern = model::Pattern();
    model::CreateBlank(form->Pattern, 24, 100);
    const EditorSnapshot before = snapshot();

    FileSizeLimit limit(4096);
    ASSERT_TRUE(limit.active());
    dialogs.saveAnswers.push_back(path("motif.plw"));
    dialogs.messageAnswers.push_back(QMessageBox::Ok);
    const bool result = form->MenuSaveClick();
    limit.lift();

    EXPECT_FALSE(result);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
        QStringLiteral("Не удалось сохранить файл «%1»: Файл слишком велик.").arg(path("motif.plw")));
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Purlwise"));
    EXPECT_EQ(dialogs.messages[0].icon, UserDialogs::Icon::Critical);
    EXPECT_TRUE(snapshot() == before);
    EXPECT_EQ(fileBytes(path("motif.plw")), QByteArray("old pattern"));
    EXPECT_EQ(fileBytes(path("motif.plw.txt")), QByteArray("old notes"));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 2);
}

TEST_F(OpenSaveTest, FailingSaveFromAPromptStopsNewOpenAndClosing)
{
    paintedPattern();
    save(path("motif.plw"));
    form->Pattern.at(2, 2) = 0x00ABCDEF;
    form->SetModified();
    const EditorSnapshot before = snapshot();
    const QString nowhere = path("no-such-folder/x.plw");
    dialogs.messages.clear();
    dialogs.modalWindows.clear();

    // New: Yes, then a save that fails.
    dialogs.messageAnswers.push_back(QMessageBox::Yes);
    dialogs.saveAnswers.push_back(nowhere);
    dialogs.messageAnswers.push_back(QMessageBox::Ok);
    form->MenuNewClick();
    EXPECT_TRUE(dialogs.modalWindows.empty());
    EXPECT_TRUE(snapshot() == before);

    // Open: the same.
    dialogs.openAnswers.push_back(path("motif.plw"));
    dialogs.messageAnswers.push_back(QMessageBox::Yes);
    dialogs.saveAnswers.push_back(nowhere);
    dialogs.messageAnswers.push_back(QMessageBox::Ok);
    form->MenuOpenClick();
    EXPECT_TRUE(snapshot() == before);

    // Closing.
    QSignalSpy closed(form, &TMainForm::closedForGood);
    dialogs.messageAnswers.push_back(QMessageBox::Yes);
    dialogs.saveAnswers.push_back(nowhere);
    dialogs.messageAnswers.push_back(QMessageBox::Ok);
    form->close();
    EXPECT_EQ(closed.count(), 0);
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(snapshot() == before);

    for (const MessageRecord &message : dialogs.messages)
        EXPECT_NE(message.text, Saved);
    EXPECT_TRUE(dialogs.allAnswersUsed());

    // A save that works lets the Open go on, with the success message first.
    dialogs.messages.clear();
    dialogs.openAnswers.push_back(path("motif.plw"));
    dialogs.messageAnswers.push_back(QMessageBox::Yes);
    dialogs.saveAnswers.push_back(path("changed.plw"));
    dialogs.messageAnswers.push_back(QMessageBox::Ok);
    form->MenuOpenClick();
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[1].text, Saved);
    EXPECT_EQ(form->Pattern.at(2, 2), model::White);
    EXPECT_TRUE(QFile::exists(path("changed.plw")));
}

TEST_F(OpenSaveTest, OpenAfterThePromptSavedOverTheChosenFileShowsWhatWasSaved)
{
    newPattern(3, 2);
    MemoForm->setNotesText(QStringLiteral("old notes"));
    save(path("motif.plw"));

    paintedPattern();
    const EditorSnapshot painted = snapshot();
    dialogs.messages.clear();
    dialogs.openAnswers.push_back(path("motif.plw"));
    dialogs.messageAnswers.push_back(QMessageBox::Yes);
    dialogs.saveAnswers.push_back(path("motif.plw"));
    dialogs.messageAnswers.push_back(QMessageBox::Ok);
    form->MenuOpenClick();
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[1].text, Saved);
    EditorSnapshot expected = painted;
    expected.modified = false;
    EXPECT_TRUE(snapshot() == expected);
    EXPECT_TRUE(dialogs.allAnswersUsed());
}

// Run as an ordinary user: root may read and write any file.
class NonRootOpenSaveTest : public OpenSaveTest {
protected:
    void SetUp() override
    {
        if (::geteuid() == 0)
            GTEST_SKIP() << "root may read and write any file";
        OpenSaveTest::SetUp();
    }
};

TEST_F(NonRootOpenSaveTest, ProtectedFilesAreRefusedWithTheSystemsReason)
{
    paintedPattern();
    save(path("motif.plw"));
    const QByteArray before = fileBytes(path("motif.plw"));
    form->SetModified();

    // Notes that cannot be read: the Open is refused before its question.
    QFile::setPermissions(path("motif.plw.txt"), QFileDevice::WriteOwner);
    expectRefused(path("motif.plw"),
        QStringLiteral("Не удалось прочитать файл «%1»: Доступ запрещён.").arg(path("motif.plw.txt")));

    QFile::setPermissions(path("motif.plw"), QFileDevice::ReadOwner);
    dialogs.messages.clear();
    dialogs.saveAnswers.push_back(path("motif.plw"));
    dialogs.messageAnswers.push_back(QMessageBox::Ok);
    EXPECT_FALSE(form->MenuSaveClick());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
        QStringLiteral("Не удалось сохранить файл «%1»: Доступ запрещён.").arg(path("motif.plw")));
    EXPECT_TRUE(form->Modified());
    EXPECT_EQ(fileBytes(path("motif.plw")), before);
}

TEST_F(OpenSaveTest, NewAndOpenShowTheFirstStitchAndTheColourALeftPressPaints)
{
    model::Pattern white;
    model::CreateBlank(white, 300, 10);
    const auto encoded = model::EncodePatternFile(white, model::WhitePalette());
    putBytes(path("white.plw"), QByteArray(reinterpret_cast<const char *>(encoded.data()), qsizetype(encoded.size())));

    const struct {
        const char *command;
        std::function<void()> run;
    } commands[] = {
        { "New", [&] { newPattern(300, 10); } },
        { "Open",
            [&] {
                dialogs.openAnswers.push_back(path("white.plw"));
                dialogs.messageAnswers.push_back(QMessageBox::No);
                form->MenuOpenClick();
            } },
    };
    for (const auto &c : commands) {
        // Painting in red, scrolled to the far right.
        newPattern(300, 10);
        form->Panels[0]->setColor(0x000000FF);
        form->Panel1Click(form->Panels[0]);
        QScrollBar *horizontal = form->MainScrollBox->horizontalScrollBar();
        ASSERT_GT(horizontal->maximum(), 0);
        horizontal->setValue(horizontal->maximum());

        c.run();
        EXPECT_EQ(horizontal->value(), 0) << c.command;
        EXPECT_EQ(DisplayForm->swatchColor(), form->CurrentColor) << c.command;
        EXPECT_EQ(form->CurrentColor, model::White) << c.command;
    }
    EXPECT_TRUE(dialogs.allAnswersUsed());
}
