#include "ui/FontFamilies.h"

#include <fontconfig/fontconfig.h>

#include <QHash>
#include <QSet>
#include <memory>

namespace {

// The installed families, folded to lower case as the configuration compares them.
QSet<QString> installedFamilies()
{
    QSet<QString> found;
    if (const FcFontSet *fonts = FcConfigGetFonts(nullptr, FcSetSystem)) {
        for (int i = 0; i < fonts->nfont; ++i) {
            FcChar8 *family = nullptr;
            for (int n = 0; FcPatternGetString(fonts->fonts[i], FC_FAMILY, n, &family) == FcResultMatch; ++n)
                found.insert(QString::fromUtf8(reinterpret_cast<const char *>(family)).toCaseFolded());
        }
    }
    return found;
}

QString lookUp(const QString &named)
{
    static const QSet<QString> installed = FcInit() ? installedFamilies() : QSet<QString>();
    const std::unique_ptr<FcPattern, decltype(&FcPatternDestroy)> pattern(FcPatternCreate(), FcPatternDestroy);
    const QByteArray name = named.toUtf8();
    if (installed.isEmpty() || !pattern
        || !FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8 *>(name.constData())))
        return named;
    // The named family first, then its substitutes, best first: a font's
    // family outweighs all else when the configuration matches fonts.
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcChar8 *family = nullptr;
    for (int n = 0; FcPatternGetString(pattern.get(), FC_FAMILY, n, &family) == FcResultMatch; ++n) {
        const QString candidate = QString::fromUtf8(reinterpret_cast<const char *>(family));
        if (installed.contains(candidate.toCaseFolded()))
            return candidate;
    }
    return named;
}

} // namespace

QString resolvedFamily(const QString &named)
{
    static QHash<QString, QString> resolved;
    const auto found = resolved.constFind(named);
    if (found != resolved.constEnd())
        return *found;
    return *resolved.insert(named, lookUp(named));
}
