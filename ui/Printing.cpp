#include "ui/Printing.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibrary>
#include <stdexcept>

const PrintingFunctions &printing()
{
    static const PrintingFunctions *const loaded = [] {
        // Where an installation puts the module beside the program, else where the build made it.
        const QString installed = QCoreApplication::applicationDirPath() + QStringLiteral("/" PURLWISE_PRINTING_FROM_BINDIR);
        for (const QString &path : { installed, QStringLiteral(PURLWISE_PRINTING_BUILT) }) {
            if (!QFileInfo::exists(path))
                continue;
            QLibrary module(path);
            using Entry = const PrintingFunctions *(*)();
            if (const auto entry = reinterpret_cast<Entry>(module.resolve("purlwisePrintingFunctions")))
                return entry();
        }
        return static_cast<const PrintingFunctions *>(nullptr);
    }();
    if (!loaded)
        throw std::runtime_error("Не удалось загрузить модуль печати " PURLWISE_PRINTING_FROM_BINDIR ".");
    return *loaded;
}
