// The preview of the largest new pattern (400 x 800) drawn through the real
// preview window, against QImage::fill of an 8-bit image of the same size; a
// grid toggle with the memory it holds at its peak; and the bitmap export
// against writing the same bytes with write().
#include "Interleaved.h"
#include "OffscreenApplication.h"
#include "support/FileSupport.h"

#include "model/LargeMemory.h"
#include "model/PreviewImage.h"
#include "ui/Application.h"
#include "ui/Main.h"
#include "ui/Preview.h"
#include "ui/UserDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QSignalBlocker>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <random>
#include <unistd.h>

namespace {

// Answers the save dialog with a fixed name and counts every message.
class BenchDialogs : public UserDialogs {
public:
    QString fileName;
    int messages = 0;
    QMessageBox::StandardButton message(
        QWidget *, const QString &, const QString &, QMessageBox::StandardButtons, Icon) override
    {
        ++messages;
        return QMessageBox::Ok;
    }
    QString openFileName(QWidget *, const FileDialogRequest &) override { return {}; }
    QString saveFileName(QWidget *, const FileDialogRequest &) override { return fileName; }
    std::optional<QColor> chooseColor(QWidget *, const QColor &) override { return std::nullopt; }
    int runModal(QDialog &) override { return 0; }
    bool printDialog(QWidget *, QPrinter &) override { return false; }
    void printerSetupDialog(QWidget *, QPrinter &) override { }
};

struct Program {
    BenchDialogs dialogs;
    std::unique_ptr<ApplicationWindows> windows;
    ScratchFolder scratch;
    const std::string folder = scratch.path().string();
};

Program &program()
{
    offscreenApplication();
    static Program p;
    if (p.folder.empty())
        std::abort(); // no scratch folder could be made
    if (!p.windows)
        p.windows = std::make_unique<ApplicationWindows>(p.dialogs);
    return p;
}

enum Colours { Sixteen = 16, Random = 0 };

model::Pattern largest(Colours colours)
{
    model::Pattern p;
    model::CreateBlank(p, 400, 800);
    std::mt19937 random(1);
    std::vector<model::TColor> palette { model::White };
    while (palette.size() < 16)
        palette.push_back(random() & 0x00FFFFFF);
    for (model::TColor &cell : p.Cells)
        cell = colours == Sixteen ? palette[random() % 16] : random() & 0x00FFFFFF;
    return p;
}

// The main window holds the pattern and the preview's grid box is set as asked,
// without drawing anything yet.
void prepare(Colours colours, bool grid)
{
    program();
    MainForm->Pattern = largest(colours);
    const QSignalBlocker quiet(PreviewForm->CBGrid);
    PreviewForm->CBGrid->setChecked(grid);
}

void fillBaseline(int s)
{
    QImage image(400 * s + 1, 800 * s + 1, QImage::Format_Indexed8);
    image.fill(0);
    benchmark::DoNotOptimize(image.constBits());
}

void Preview(benchmark::State &state)
{
    const int s = int(state.range(1));
    prepare(Colours(state.range(0)), state.range(2) != 0);
    bench::interleaved(
        state, [&] { PreviewForm->DrawPreview(s); }, [&] { fillBaseline(s); });
    state.counters["picture_MB"] = double(PreviewForm->image().sizeInBytes()) / 1e6;
    // The same fill on memory of the kind the picture uses (huge pages when
    // large), to tell what the memory gives from what the drawing costs.
    const std::size_t bytes = std::size_t((400 * s + 4) & ~3) * std::size_t(800 * s + 1);
    std::vector<double> fills;
    for (int i = 0; i < 5; ++i)
        fills.push_back(bench::secondsOf([&] {
            void *memory = model::allocateLarge(bytes);
            std::memset(memory, 0, bytes);
            benchmark::DoNotOptimize(memory);
            model::releaseLarge(memory, bytes);
        }));
    state.counters["large_fill_ms"] = bench::median(fills) * 1e3;
    state.counters["ratio_to_large_fill"] = state.counters["target_ms"].value / (bench::median(fills) * 1e3);
}

// Ticking the grid box at "100 %" redraws the picture; the peak is the most
// the preview's pictures held at once during one toggle.
void GridToggle(benchmark::State &state)
{
    prepare(Colours(state.range(0)), false);
    PreviewForm->CBProcent->setCurrentIndex(10);
    bench::interleaved(
        state, [&] { PreviewForm->CBGrid->click(); }, [&] { fillBaseline(20); });
    const double before = double(PreviewForm->image().sizeInBytes());
    const double growth = bench::peakGrowthOf([] { PreviewForm->CBGrid->click(); });
    const double picture = double(PreviewForm->image().sizeInBytes());
    state.counters["picture_MB"] = picture / 1e6;
    state.counters["peak_MB"] = (growth + before) / 1e6;
    state.counters["peak_per_picture"] = (growth + before) / picture;
}

// Writes bytes to a new file in 1 MB pieces; with flush, as durably as the
// export: file flushed, renamed over the target, folder flushed.
void writeBaseline(const std::string &folder, const QByteArray &bytes, bool flush)
{
    const std::string temp = folder + "/baseline.tmp", target = folder + "/baseline.bmp";
    ::unlink(temp.c_str());
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    for (qsizetype at = 0; fd >= 0 && at < bytes.size();) {
        const ssize_t n
            = ::write(fd, bytes.constData() + at, std::size_t(std::min<qsizetype>(bytes.size() - at, 1 << 20)));
        if (n <= 0)
            std::abort();
        at += n;
    }
    if (flush)
        ::fsync(fd);
    ::close(fd);
    ::rename(temp.c_str(), target.c_str());
    if (flush) {
        const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::fsync(dir);
        ::close(dir);
    }
}

void ExportBitmap(benchmark::State &state)
{
    Program &p = program();
    const bool flushedBaseline = state.range(1) != 0;
    prepare(Colours(state.range(0)), true);
    PreviewForm->CBProcent->setCurrentIndex(-1);
    PreviewForm->CBProcent->setCurrentIndex(10);
    p.dialogs.fileName = QString::fromStdString(p.folder + "/export.bmp");
    PreviewForm->BMPButtonClick();
    QByteArray bytes;
    {
        QFile written(p.dialogs.fileName);
        written.open(QIODevice::ReadOnly);
        bytes = written.readAll();
    }
    const int messagesBefore = p.dialogs.messages;
    bench::interleaved(
        state, [&] { PreviewForm->BMPButtonClick(); }, [&] { writeBaseline(p.folder, bytes, flushedBaseline); });
    if (p.dialogs.messages != messagesBefore)
        state.SkipWithError("the export reported a failure");
    const double growth = bench::peakGrowthOf([] { PreviewForm->BMPButtonClick(); });
    state.counters["file_MB"] = double(bytes.size()) / 1e6;
    state.counters["picture_MB"] = double(PreviewForm->image().sizeInBytes()) / 1e6;
    state.counters["peak_growth_MB"] = growth / 1e6;
    std::filesystem::remove(p.folder + "/export.bmp");
    std::filesystem::remove(p.folder + "/baseline.bmp");
}

} // namespace

BENCHMARK(Preview)
    ->ArgNames({ "colours", "cell_px", "grid" })
    ->ArgsProduct({ { Sixteen, Random }, { 1, 4, 20 }, { 0, 1 } })
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(GridToggle)
    ->ArgNames({ "colours" })
    ->Arg(Sixteen)
    ->Arg(Random)
    ->Iterations(6)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(ExportBitmap)
    ->ArgNames({ "colours", "flushed_baseline" })
    ->ArgsProduct({ { Sixteen, Random }, { 1, 0 } })
    ->Iterations(4)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
