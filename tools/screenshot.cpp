// Saves PNG pictures of the program's windows with a sample pattern, so that
// anyone can look at them without a display: screenshot OUTPUT_FOLDER.
#include "ui/Addpopup.h"
#include "ui/Application.h"
#include "ui/Del.h"
#include "ui/Effects.h"
#include "ui/Effects1.h"
#include "ui/FromPicture.h"
#include "ui/Main.h"
#include "ui/Memo.h"
#include "ui/New.h"
#include "ui/Preview.h"
#include "ui/Reformat.h"
#include "ui/UserDialogs.h"
#include "ui/WholeNumberField.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QTimer>
#include <cstdio>

namespace {

// Small tool windows are also worth a magnified look: scale > 1 enlarges
// pixel for pixel.
void save(QWidget *window, const QDir &folder, const QString &name, int scale = 1)
{
    window->show();
    QCoreApplication::processEvents();
    const QString path = folder.filePath(name + ".png");
    QPixmap picture = window->grab();
    if (scale > 1)
        picture = picture.scaled(picture.size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    if (!picture.save(path))
        std::fprintf(stderr, "could not write %s\n", qPrintable(path));
    else
        std::printf("%s\n", qPrintable(path));
}

// Answers every question without showing anything: OK in modal windows.
class UnattendedDialogs : public UserDialogs {
public:
    QMessageBox::StandardButton message(
        QWidget *, const QString &, const QString &, QMessageBox::StandardButtons, Icon) override
    {
        return QMessageBox::No;
    }
    QString openFileName(QWidget *, const FileDialogRequest &) override { return {}; }
    QString saveFileName(QWidget *, const FileDialogRequest &) override { return {}; }
    std::optional<QColor> chooseColor(QWidget *, const QColor &) override { return std::nullopt; }
    bool printDialog(QWidget *, QPrinter &) override { return false; }
    void printerSetupDialog(QWidget *, QPrinter &) override { }
    int runModal(QDialog &dialog) override
    {
        if (&dialog == NewForm)
            NewForm->OKButtonClick();
        if (&dialog == PreviewForm) {
            // Shown as the user sees it, with the grid at "20 %".
            dialog.show();
            PreviewForm->CBGrid->setChecked(true);
            PreviewForm->CBProcent->setCurrentIndex(2);
            PreviewForm->CBProcentChange();
            save(&dialog, m_folder, QStringLiteral("preview-window"));
            dialog.hide();
        }
        return dialog.result();
    }
    QDir m_folder;
};

// A small two-colour motif, so the grid shows more than white.
void paintSampleMotif(model::Pattern &pattern)
{
    const model::TColor red = 0x002020D0, navy = 0x00602010;
    for (int r = 0; r < pattern.RowCount; ++r)
        for (int s = 0; s < pattern.StitchCount; ++s) {
            const int x = s % 12, y = r % 12;
            if (std::abs(x - 6) + std::abs(y - 6) == 4)
                pattern.at(s, r) = red;
            else if (x == 6 && y == 6)
                pattern.at(s, r) = navy;
        }
}

// A shaded landscape with a sun and a heart: smooth tones for the colour reduction.
QImage samplePicture()
{
    QImage picture(600, 450, QImage::Format_RGB32);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 300);
    sky.setColorAt(0, QColor(70, 130, 210));
    sky.setColorAt(1, QColor(235, 240, 250));
    painter.fillRect(picture.rect(), sky);
    QRadialGradient sun(450, 110, 70);
    sun.setColorAt(0, QColor(255, 230, 80));
    sun.setColorAt(1, QColor(250, 170, 40));
    painter.setPen(Qt::NoPen);
    painter.setBrush(sun);
    painter.drawEllipse(QPointF(450, 110), 70, 70);
    painter.setBrush(QColor(60, 140, 60));
    painter.drawEllipse(QRectF(-200, 280, 1000, 400));
    QPainterPath heart;
    heart.moveTo(200, 380);
    heart.cubicTo(60, 290, 110, 170, 200, 240);
    heart.cubicTo(290, 170, 340, 290, 200, 380);
    painter.setBrush(QColor(200, 30, 50));
    painter.drawPath(heart);
    return picture;
}

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("DISPLAY") && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    PurlwiseApplication app(argc, argv);
    InstallRussianTranslations(app);
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots"));
    QDir().mkpath(folder.path());

    UnattendedDialogs dialogs;
    dialogs.m_folder = folder;
    app.setDialogs(&dialogs);
    ApplicationWindows windows(dialogs);
    TMainForm &main = windows.main();
    main.show();
    QCoreApplication::processEvents();
    save(&main, folder, "main-empty");

    NewForm->show();
    save(NewForm, folder, "new-dialog");
    NewForm->hide();

    main.MenuNewClick();
    model::Palette palette = model::WhitePalette();
    palette[0] = 0x002020D0;
    palette[1] = 0x00602010;
    main.setYarnPalette(palette);
    paintSampleMotif(main.Pattern);
    main.DrawGrid();
    save(&main, folder, "main-pitch20");
    main.Zoom(5);
    save(&main, folder, "main-pitch5");
    main.Zoom(20);

    save(DisplayForm, folder, "readout-window");
    save(EffectsForm, folder, "effects-window");
    save(EffectsForm, folder, "effects-window-x4", 4);
    MemoForm->setNotesText(QStringLiteral("Пряжа: красная и синяя.\nПлотность 28 петель на 10 см."));
    save(MemoForm, folder, "notes-window");
    save(ReFormatForm, folder, "resize-dialog");
    save(AddFromPopupForm, folder, "add-yarn-dialog");
    main.PreviewMenuClick();

    TFromPictureForm fromPicture(dialogs, &main);
    fromPicture.StitchesEdit->setValue(60);
    fromPicture.setPicture(samplePicture());
    save(&fromPicture, folder, "from-picture-dialog");
    save(DelForm, folder, "delete-yarn-dialog");
    return 0;
}
