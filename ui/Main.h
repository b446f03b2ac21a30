#pragma once
// The main window: owns the document state for the whole run and routes every
// command. Its handlers live in several files by subject: Main.cpp (shell,
// New, closing, editor state), MainGrid.cpp (drawing, zoom, mouse),
// MainFiles.cpp (Open, Save, notes), MainEffects.cpp (transformations, undo,
// resizing).

#include "model/Pattern.h"
#include "model/YarnList.h"
#include "ui/UserDialogs.h"

#include <QColor>
#include <QMainWindow>
#include <array>
#include <string>

class QAction;
class QComboBox;
class QImage;
class QLabel;
class QMenu;
class QPushButton;
class QStatusBar;
class QToolButton;
class QWidget;
class GridView;
class PaletteSwatch;
class TFromPictureForm;
class WindowPlacement;

class TMainForm : public QMainWindow {
    Q_OBJECT

public:
    explicit TMainForm(UserDialogs &dialogs, QWidget *parent = nullptr);
    ~TMainForm() override;

    UserDialogs &dialogs() { return m_dialogs; }

    // ---- Document state -------------------------------------------------
    model::Pattern Pattern;
    model::TColor CurrentColor = model::White;
    // The grid view holds the pitch it draws with; these read and change it there.
    int CellPitch() const;
    void setCellPitch(int pitch);
    bool PatternOpen = false;
    std::string UndoJournal;

    // Unsaved changes; mirrored by the enabled state of SaveToolButn.
    bool Modified() const;
    // The one place that records an unsaved change. Every operation that
    // changes what a save would store calls it.
    void SetModified();
    // Only PrepareEditor and a completed save clear it.
    void ClearModified();

    model::Palette yarnPalette() const;
    void setYarnPalette(const model::Palette &palette);

    // ---- Controls ---------------------------------------------------------
    QMenu *MenuFile = nullptr;
    QMenu *MenuView = nullptr;
    QMenu *MenuEdit = nullptr;
    QMenu *MenuEffects = nullptr;
    QAction *MenuNew = nullptr;
    QAction *MenuOpen = nullptr;
    QAction *MenuSave = nullptr;
    QAction *MenuPrintSetup = nullptr;
    QAction *MenuPrint = nullptr;
    QAction *MenuExit = nullptr;
    QAction *PreviewMenu = nullptr;
    QAction *UndoMenu = nullptr;
    QAction *PicSizeMenu = nullptr;
    QAction *CB1Menu = nullptr;
    QAction *MenuAbout = nullptr;

    QWidget *ToolBar = nullptr;
    QToolButton *NewToolButn = nullptr;
    QToolButton *OpenToolButn = nullptr;
    QToolButton *SaveToolButn = nullptr;
    QComboBox *CBZoom = nullptr;
    QPushButton *BZoomPlus = nullptr;
    QPushButton *BZoomMinus = nullptr;
    QToolButton *PreviewToolButn = nullptr;
    std::array<PaletteSwatch *, model::PaletteSize> Panels {};
    QToolButton *MemoButn = nullptr;
    QToolButton *ShowHidePictureButton = nullptr;

    GridView *MainScrollBox = nullptr;
    QStatusBar *StatusBar = nullptr;
    std::array<QLabel *, 3> StatusPanels {};

    // ---- Shell, New, closing, editor state (Main.cpp) ---------------------
    void MenuNewClick();
    void MenuExitClick();
    void MenuPrintSetupClick();
    void PreviewMenuClick();
    void MenuAboutClick();
    void MemoButnClick();
    void ShowHidePictureButtonClick();
    void ResetPalette();
    // A click on a swatch makes its colour the one the left button paints.
    void Panel1Click(PaletteSwatch *swatch);
    // A double click gives the slot a colour from the colour chooser, and
    // the pattern's cells of the slot's old colour go with it.
    void Panel1DblClick(PaletteSwatch *swatch);
    void EnablePalette(bool enabled);
    void PrepareEditor();
    void DisableEditor();
    // Runs the save prompt shared by New, Open and closing. Returns false when
    // the command must stop: Cancel, or Yes with a save that did not complete.
    bool AskToSaveBeforeLeaving(const QString &caption, UserDialogs::Icon icon);
    // New's save question and discarding of the old pattern; false when the user stopped.
    bool LeaveForNewPattern();
    // A pattern made elsewhere replaces the current one the way New does,
    // after the save question: its palette, the editor on, marked changed.
    bool AdoptNewPattern(model::Pattern pattern, const model::Palette &palette);
    // The picture window's "Создать рисунок по картинке...": the dialog, then AdoptNewPattern.
    void MakePatternFromPicture(const QImage &picture);
    TFromPictureForm *FromPictureForm = nullptr; // made on first use, kept with its values
    // Wires the main window to the windows created after it.
    void connectCompanionWindows();

    // ---- Grid view, zoom and mouse (MainGrid.cpp) --------------------------
    void DrawGrid();
    void Zoom(int newPitch);
    void CBZoomChange();
    void BZoomPlusClick();
    void BZoomMinusClick();
    // X, Y in paint-area pixels, measured from the grid's origin.
    void MainPaintBoxMouseDown(Qt::MouseButton button, Qt::MouseButtons held, int X, int Y);
    void MainPaintBoxMouseMove(Qt::MouseButtons held, int X, int Y);
    // Paint area and scroll ranges to the given size (0 x 0 with no pattern).
    void SizePaintArea(int width, int height);
    // Paint area and ranges to the pattern at CellPitch, then the whole grid.
    void RefreshAfterTransform();
    // Everything that follows a change of the pattern's cells or counts by a
    // transformation, a resize or an undo. Inverted colours also repaint the window.
    void AfterTransform(bool coloursInverted = false);
    // Routes the grid view's mouse events to the two handlers above.
    void connectGridView();

private:
    // Stores colour in cell (s, r) and repaints its square.
    void paintCell(int s, int r, model::TColor colour);
    // Makes colour the painting colour; with a slot, the slot and the pattern's
    // cells of the slot's old colour take it (double click and yarn menu).
    void Recolour(PaletteSwatch *slot, model::TColor colour);

public:
    // ---- Files and notes (MainFiles.cpp) -----------------------------------
    void MenuOpenClick();
    // Open after its dialog: the files checked, the save question, the pattern
    // shown. Also the way of a file given at start-up or dropped on the window.
    void openPatternFile(const QString &fileName);
    // True when both files were written; false on a cancelled dialog or a failure.
    bool MenuSaveClick();
    // The names last chosen in the open and save dialogs, offered again next time.
    QString OpenDialogFileName;
    QString SaveDialogFileName;

private:
    int m_completedSaves = 0; // tells Open whether its save prompt wrote anything
    bool m_yarnListUnread = false; // "Popupfile" existed but was not read: never overwrite it

public:
    // ---- Yarn list (MainPalette.cpp) ----
    // A right press on a swatch points the yarn menu at that slot and opens it there.
    void Panel1MouseDown(PaletteSwatch *swatch, Qt::MouseButton button);
    // A yarn was chosen: slot PopupSlot takes its colour, and its cells go along.
    void AllMenuClick(QAction *item);
    void AddPopupMenuClick();
    void DelPopupMenuClick();
    // Reads "Popupfile" in the current folder into the menu; run once at start-up.
    void LoadYarnList();
    // Writes the menu's yarns to "Popupfile"; a failure is reported, the menu stays.
    // Applies change to the list as the file holds it now (another copy of
    // the program may have changed it), then shows the list the file holds.
    bool SaveYarnList(const model::YarnChange &change = {});
    void ShowYarns(const model::YarnList &yarns);
    static model::Yarn StoredYarn(const QAction *item);
    // The yarn items after the menu's three fixed ones, in list order.
    QList<QAction *> YarnItems() const;
    QAction *AddYarnItem(const QString &name, model::TColor colour);
    void RemoveYarnItem(int position);
    static QString YarnName(const QAction *item);
    // Whether the yarn list file's code page holds every character of name.
    static bool YarnNameStorable(const QString &name);
    static model::TColor YarnColour(const QAction *item);
    QMenu *RightPopupMenu = nullptr;
    QAction *AddPopupMenu = nullptr;
    QAction *DelPopupMenu = nullptr;
    QAction *N4 = nullptr;
    int PopupSlot = 0; // 1 to 16; 0 until the first right press
    // Opens the yarn menu at a screen point; tests swap it to stay out of real menus.
    std::function<void(const QPoint &)> PopupYarnMenu;

    // ---- Transformations, undo and resizing (MainEffects.cpp) ---------------
    void CB1MenuClick();
    void PicSizeMenuClick();
    void AppendJournalCode(char code);
    void UndoMenuClick();
    // Transformation button 1..12: transforms, records its letter, redraws.
    void RunTransformButton(int button);

signals:
    // The close was accepted: the program ends.
    void closedForGood();

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    // A dropped .plw file opens as Open would (MainFiles.cpp).
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void buildMenus();
    void buildToolBar();
    void FormCreate();
    void FormResize();
    void layoutClientArea();

    UserDialogs &m_dialogs;
    QWidget *m_client = nullptr;
    // The colour chooser starts white and then offers the colour last confirmed.
    QColor m_colorDialogColor = Qt::white;
    WindowPlacement *m_placement = nullptr;
};

extern TMainForm *MainForm;
