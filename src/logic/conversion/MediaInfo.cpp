#include "MediaInfo.h"

#include "text/TextReading.h"

#include <QStringList>

namespace {

struct ProbeFields
{
    double duration = 0;
    QString width;
    QString height;
    double frameRate = 0;
};

std::optional<ProbeFields> ReadProbeFields(const QString& output)
{
    const auto duration
        = TimeToSeconds(ExtractBetween(output, QStringLiteral("Duration: "), QStringLiteral(".., start:")));
    if (!duration)
        return std::nullopt;

    // The "PAR" block only marks where the size ends.
    const QStringList videoPieces
        = ExtractBetween(output, QStringLiteral("Video: "), QStringLiteral(" .PAR")).split(QLatin1Char(','));
    if (videoPieces.size() < 3)
        return std::nullopt;
    const QStringList size = videoPieces.at(2).split(QLatin1Char('x'));
    if (size.size() < 2)
        return std::nullopt;

    const QString rateText = ExtractBetween(output, QStringLiteral(", "), QStringLiteral(" tb"));
    const QString fpsText = ExtractBetween(rateText.right(8), QStringLiteral(", "), QString());
    return ProbeFields {*duration, size.at(0), size.at(1), LeadingNumber(fpsText)};
}

} // namespace

QString ParseProbeOutput(const QString& output)
{
    const std::optional<ProbeFields> fields = ReadProbeFields(output);
    if (!fields)
        return QString();
    return PlainNumber(fields->duration) + QLatin1Char('|') + fields->width + QLatin1Char('|') + fields->height
        + QLatin1Char('|') + PlainNumber(fields->frameRate);
}

std::optional<MediaInfo> ParseMediaInfo(const QString& output)
{
    const std::optional<ProbeFields> fields = ReadProbeFields(output);
    if (!fields)
        return std::nullopt;
    return MediaInfo {fields->duration, LeadingNumber(fields->width), LeadingNumber(fields->height), fields->frameRate};
}
