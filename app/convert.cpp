// purlwise-convert: a picture to a pattern file, and a pattern file to a
// picture of one pixel per stitch for the software that drives a machine.
#include "model/AtomicFile.h"
#include "model/Limits.h"
#include "model/PatternFile.h"
#include "model/PictureToPattern.h"
#include "picture/PictureDecode.h"
#include "picture/PictureFile.h"
#include "ui/FileNames.h"
#include "ui/FromPicture.h"
#include "ui/Messages.h"

#include <QBuffer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QImageWriter>
#include <QRegularExpression>

#include <cstdio>
#include <optional>
#include <sys/stat.h>

namespace {

enum Exit { Success = 0, FileProblem = 1, UsageError = 2 };

const char *const Usage = "Использование:\n"
                          "  purlwise-convert КАРТИНКА РИСУНОК.plw --stitches N [--rows N] [--gauge 28x36]\n"
                          "                   [--colours K] [--dither] [--force]\n"
                          "  purlwise-convert РИСУНОК.plw КАРТИНКА.png|КАРТИНКА.bmp [--mirror] [--force]\n";

const char *const Help = "Делает рисунок для вязальной машины из картинки (jpg, jpeg, bmp, ico, wmf, emf, png, gif)\n"
                         "и картинку с одной точкой на петлю из рисунка.\n\n"
                         "  --stitches N   петель в рисунке\n"
                         "  --rows N       рядов (по умолчанию по пропорциям картинки и плотности)\n"
                         "  --gauge ПxР    петель и рядов на 10 см (по умолчанию 28x36)\n"
                         "  --colours K    цветов, от 2 до 16 (по умолчанию 4)\n"
                         "  --dither       рассеивание\n"
                         "  --mirror       картинка зеркально слева направо\n"
                         "  --force        заменить существующий файл\n"
                         "  --help, --version\n\n"
                         "Код выхода: 0 — готово, 1 — ошибка файла, 2 — ошибка в командной строке.\n";

struct Options {
    QString input, output;
    std::optional<qint64> stitches, rows;
    model::Gauge gauge;
    int colours = 4;
    bool dither = false, mirror = false, force = false;
};

struct Stop {
    Exit code;
    QString message;
};

void say(const QString &text)
{
    std::fprintf(stderr, "purlwise-convert: %s\n", text.toLocal8Bit().constData());
}

std::optional<qint64> wholeNumber(const QString &text)
{
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    return ok ? std::optional(value) : std::nullopt;
}

// Reads the arguments; nullopt with `stop` set when the run ends here.
std::optional<Options> parse(const QStringList &args, Stop &stop)
{
    Options options;
    QStringList files;
    const auto usage = [&stop](const QString &why) {
        stop = { UsageError, why + QStringLiteral("\n") + QString::fromUtf8(Usage) };
        return std::nullopt;
    };
    for (int i = 1; i < args.size(); ++i) {
        const QString &arg = args[i];
        const auto value
            = [&]() -> std::optional<QString> { return i + 1 < args.size() ? std::optional(args[++i]) : std::nullopt; };
        if (arg == "--help" || arg == "-h") {
            stop = { Success, QString::fromUtf8(Usage) + "\n" + QString::fromUtf8(Help) };
            return std::nullopt;
        } else if (arg == "--version") {
            stop = { Success, QStringLiteral("purlwise-convert " PURLWISE_VERSION) };
            return std::nullopt;
        } else if (arg == "--stitches" || arg == "--rows" || arg == "--colours") {
            const auto text = value();
            const auto number = text ? wholeNumber(*text) : std::nullopt;
            if (!number)
                return usage(QStringLiteral("после %1 нужно целое число").arg(arg));
            if (arg == "--colours") {
                if (*number < model::MinPictureColours || *number > model::MaxPictureColours)
                    return usage(QStringLiteral("цветов может быть от 2 до 16"));
                options.colours = int(*number);
            } else {
                if (*number < 1)
                    return usage(QStringLiteral("петель и рядов должно быть не меньше одного"));
                (arg == "--stitches" ? options.stitches : options.rows) = *number;
            }
        } else if (arg == "--gauge") {
            const auto text = value();
            const auto match
                = QRegularExpression(QStringLiteral("^(\\d{1,4})[xх×](\\d{1,4})$")).match(text.value_or(""));
            if (!match.hasMatch() || match.captured(1).toInt() < 1 || match.captured(2).toInt() < 1)
                return usage(QStringLiteral("плотность задаётся как петель x рядов, например 28x36"));
            options.gauge = { match.captured(1).toInt(), match.captured(2).toInt() };
        } else if (arg == "--dither") {
            options.dither = true;
        } else if (arg == "--mirror") {
            options.mirror = true;
        } else if (arg == "--force") {
            options.force = true;
        } else if (arg.startsWith('-') && arg.size() > 1) {
            return usage(QStringLiteral("неизвестный параметр %1").arg(arg));
        } else {
            files << arg;
        }
    }
    if (files.size() != 2)
        return usage(QStringLiteral("нужны два файла: откуда и куда"));
    options.input = files[0];
    options.output = files[1];
    return options;
}

QString suffixOf(const QString &name)
{
    return QFileInfo(name).suffix().toLower();
}

// The one place the tool reads a picture file: the picture window's readers,
// and Qt's for PNG and GIF.
std::optional<QImage> readPicture(const QString &path, QString &error)
{
    const QString suffix = suffixOf(path);
    if (suffix == "png" || suffix == "gif") {
        QImageReader reader(path, suffix.toLatin1());
        // The picture window's size limit, checked on the header: past it Qt
        // would either read a picture the program refuses or fail in English.
        if (const QSize size = reader.size(); size.isValid() && !pictureSizeAllowed(size.width(), size.height())) {
            error = Messages::PictureTooLarge(path, size.width(), size.height());
            return std::nullopt;
        }
        QImage image = reader.read();
        if (image.isNull()) {
            error = QStringLiteral("Не удалось прочитать картинку «%1»: %2")
                        .arg(UserFileName(path), reader.errorString());
            return std::nullopt;
        }
        return image;
    }
    const PictureOutcome result = readPictureFile(path);
    if (!result.ok()) {
        error = PictureFailureText(result.failure());
        return std::nullopt;
    }
    return result.value().toImage();
}

bool exists(const QString &name)
{
    struct stat info;
    return ::lstat(ModelFileName(name).c_str(), &info) == 0;
}

Stop failed(const model::Failure &failure)
{
    const Exit code = failure.kind == model::Failure::Kind::TooLarge ? UsageError : FileProblem;
    return { code, FailureText(failure, Activity::Creating) };
}

Stop pictureToPattern(const Options &options)
{
    if (!options.stitches)
        return { UsageError, QStringLiteral("укажите --stitches N\n") + QString::fromUtf8(Usage) };
    const std::string output = ModelFileName(options.output);
    if (!options.force)
        for (const QString &name : { options.output, QString::fromStdString(model::NotesFileName(output)) })
            if (exists(name))
                return { FileProblem,
                    QStringLiteral("файл «%1» уже есть; чтобы заменить его, укажите --force").arg(UserFileName(name)) };
    QString error;
    const std::optional<QImage> picture = readPicture(options.input, error);
    if (!picture)
        return { FileProblem, error };
    const QImage rgba = picture->convertToFormat(QImage::Format_RGBA8888);
    const qint64 stitches = *options.stitches;
    const qint64 rows
        = options.rows.value_or(model::RowsForStitches(stitches, rgba.width(), rgba.height(), options.gauge));
    if (!model::fitsLimits(stitches, rows))
        return failed(model::Failure::tooLarge(stitches, rows));
    const model::PictureView view { rgba.constBits(), rgba.width(), rgba.height(), rgba.bytesPerLine() };
    const auto made
        = model::ConvertPicture(view, { std::int32_t(stitches), std::int32_t(rows), options.colours, options.dither });
    if (!made.ok())
        return failed(made.failure());
    const model::Outcome<> saved = model::SavePatternFile(output, made.value().pattern, made.value().palette, {});
    if (!saved.ok())
        return failed(saved.failure());
    return { Success, {} };
}

Stop patternToPicture(const Options &options)
{
    const QString format = suffixOf(options.output);
    if (format != "png" && format != "bmp")
        return { UsageError, QStringLiteral("картинка пишется только в PNG или BMP\n") + QString::fromUtf8(Usage) };
    if (!options.force && exists(options.output))
        return {
            FileProblem,
            QStringLiteral("файл «%1» уже есть; чтобы заменить его, укажите --force").arg(UserFileName(options.output))
        };
    const auto loaded = model::LoadPatternFile(ModelFileName(options.input));
    if (!loaded.ok())
        return failed(loaded.failure());
    QImage image = PatternImage(loaded.value().pattern);
    if (options.mirror)
        image = image.mirrored(true, false);
    QBuffer bytes;
    bytes.open(QIODevice::WriteOnly);
    QImageWriter writer(&bytes, format.toLatin1());
    if (!writer.write(image))
        return failed(model::Failure::of(model::Failure::Kind::OutOfMemory));
    const QByteArray &data = bytes.data();
    const model::Outcome<> written = model::WriteFileAtomically(ModelFileName(options.output),
        std::span(reinterpret_cast<const std::byte *>(data.constData()), std::size_t(data.size())));
    if (!written.ok())
        return failed(written.failure());
    return { Success, {} };
}

} // namespace

int main(int argc, char **argv)
{
    // The metafile readers draw with Qt; no window is ever shown.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Standard error carries the tool's own messages only, not Qt's notes about its set-up.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &text) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            say(text);
    });
    QGuiApplication app(argc, argv);
    Stop stop { Success, {} };
    if (const std::optional<Options> options = parse(app.arguments(), stop))
        stop = suffixOf(options->input) == "plw" ? patternToPicture(*options) : pictureToPattern(*options);
    if (!stop.message.isEmpty()) {
        if (stop.code == Success)
            std::fprintf(stdout, "%s\n", stop.message.toLocal8Bit().constData());
        else
            say(stop.message);
    }
    return stop.code;
}
