// The preview drawn through the real preview window at "5 %", "20 %" and
// "100 %" of three pattern sizes, and a grid toggle with the memory it holds
// at its peak, each against reading the cells once and filling as many bytes
// on the same kind of memory; and the bitmap export against writing the same
// bytes with write().
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
#include <functional>
#include <map>
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

struct Size {
    std::int32_t stitches, rows;
};
// The largest new pattern, the largest the grid view is timed at, and the largest square.
constexpr Size Sizes[] = { { 400, 800 }, { 3200, 6400 }, { 8192, 8192 } };
constexpr int Scales[] = { 0, 2, 10 }; // "5 %", "20 %", "100 %"

const model::Pattern &pattern(int size, Colours colours)
{
    static std::map<std::pair<int, int>, model::Pattern> made;
    model::Pattern &p = made[{ size, int(colours) }];
    if (p.exists())
        return p;
    model::CreateBlank(p, Sizes[size].stitches, Sizes[size].rows);
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
void prepare(int size, Colours colours, bool grid)
{
    program();
    MainForm->Pattern = pattern(size, colours);
    const QSignalBlocker quiet(PreviewForm->CBGrid);
    PreviewForm->CBGrid->setChecked(grid);
}

// The least any preview can cost: one reading of the cells and one fill of a
// picture of as many bytes, on memory of the kind the picture is drawn on.
class Floor {
public:
    Floor(const model::Pattern &pattern, std::size_t pictureBytes)
        : m_pattern(pattern)
        , m_bytes(pictureBytes)
    {
    }
    void operator()()
    {
        model::TColor sum = 0;
        for (const model::TColor cell : m_pattern.Cells)
            sum ^= cell;
        benchmark::DoNotOptimize(sum);
        m_fills.push_back(bench::secondsOf([&] {
            void *memory = model::allocateLarge(m_bytes);
            std::memset(memory, 0, m_bytes);
            benchmark::DoNotOptimize(memory);
            model::releaseLarge(memory, m_bytes);
        }));
    }
    double fillSeconds() const { return bench::median(m_fills); }

private:
    const model::Pattern &m_pattern;
    std::size_t m_bytes;
    std::vector<double> m_fills;
};

void report(benchmark::State &state, const Floor &floor)
{
    state.counters["picture_MB"] = double(PreviewForm->image().sizeInBytes()) / 1e6;
    state.counters["fill_ms"] = floor.fillSeconds() * 1e3;
    state.counters["ratio_to_fill"] = state.counters["target_ms"].value / (floor.fillSeconds() * 1e3);
}

// Drawing the picture through the real preview window; ratio is to the floor.
void Preview(benchmark::State &state)
{
    const int size = int(state.range(0)), scale = int(state.range(1));
    const Colours colours = Colours(state.range(2));
    const int s = model::PreviewCellSizes[std::size_t(scale)];
    prepare(size, colours, state.range(3) != 0);
    if (!PreviewForm->DrawPreview(s))
        return state.SkipWithError("the picture could not be drawn");
    Floor floor(MainForm->Pattern, std::size_t(PreviewForm->image().sizeInBytes()));
    bench::interleaved(state, [&] { PreviewForm->DrawPreview(s); }, std::ref(floor));
    report(state, floor);
}

// Ticking the grid box redraws the picture at the chosen scale; the peak is
// the most the preview's pictures held at once during one toggle.
void GridToggle(benchmark::State &state)
{
    const int size = int(state.range(0)), scale = int(state.range(1));
    prepare(size, Colours(state.range(2)), false);
    PreviewForm->CBProcent->setCurrentIndex(-1);
    PreviewForm->CBProcent->setCurrentIndex(scale);
    Floor floor(MainForm->Pattern, std::size_t(PreviewForm->image().sizeInBytes()));
    bench::interleaved(state, [&] { PreviewForm->CBGrid->click(); }, std::ref(floor));
    report(state, floor);
    const double before = double(PreviewForm->image().sizeInBytes());
    const double growth = bench::peakGrowthOf([] { PreviewForm->CBGrid->click(); });
    const double picture = double(PreviewForm->image().sizeInBytes());
    state.counters["peak_MB"] = (growth + before) / 1e6;
    state.counters["peak_per_picture"] = (growth + before) / picture;
}

// Every size at every timed scale whose picture can be drawn.
void sizesAndScales(benchmark::internal::Benchmark *b, std::vector<int> colours, std::vector<int> grids)
{
    for (int size = 0; size < int(std::size(Sizes)); ++size)
        for (const int scale : Scales) {
            if (!model::previewImageSize(
                    Sizes[size].stitches, Sizes[size].rows, model::PreviewCellSizes[std::size_t(scale)]))
                continue;
            for (const int c : colours)
                for (const int grid : grids)
                    b->Args({ size, scale, c, grid });
        }
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
    prepare(0, Colours(state.range(0)), true);
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
    ->ArgNames({ "size", "scale", "colours", "grid" })
    ->Apply([](benchmark::internal::Benchmark *b) { sizesAndScales(b, { Sixteen, Random }, { 0, 1 }); })
    ->Iterations(8)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(GridToggle)
    ->ArgNames({ "size", "scale", "colours", "grid" })
    ->Apply([](benchmark::internal::Benchmark *b) { sizesAndScales(b, { Sixteen }, { 0 }); })
    ->Iterations(8)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(ExportBitmap)
    ->ArgNames({ "colours", "flushed_baseline" })
    ->ArgsProduct({ { Sixteen, Random }, { 1, 0 } })
    ->Iterations(4)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
