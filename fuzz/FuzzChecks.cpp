#include "FuzzChecks.h"

#include "conversion/EncoderCommand.h"
#include "conversion/EncoderReport.h"
#include "conversion/MediaInfo.h"
#include "conversion/OutputSize.h"
#include "conversion/ProgressDisplay.h"
#include "localisation/Language.h"
#include "platform/CommandLine.h"
#include "text/TextReading.h"
#include "update/VersionCheck.h"

#include "encoder/plan/Arguments.h"
#include "encoder/plan/FilterChain.h"
#include "encoder/run/SubtitleFile.h"
#include "encoder/run/SubtitleScriptReader.h"

#include <QByteArray>
#include <QDir>
#include <QStringDecoder>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <unistd.h>

namespace {

std::string Show(const QString& text)
{
    return text.toStdString();
}

// ---- the probe text's pattern search, written the slow and obvious way -------------------------------

bool SlowMatchesAt(const QString& text, qsizetype pos, const QString& pattern)
{
    if (pos + pattern.size() > text.size())
        return false;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = text.at(pos + i);
        if (pattern.at(i) == QLatin1Char('.') ? c == QLatin1Char('\n') : c != pattern.at(i))
            return false;
    }
    return true;
}

// Every start in order; for each, every end on the capture's line; the last end wins.
QString SlowExtractBetween(const QString& text, const QString& startPattern, const QString& endPattern)
{
    for (qsizetype s = 0; s < text.size(); ++s) {
        if (!SlowMatchesAt(text, s, startPattern))
            continue;
        const qsizetype p = s + startPattern.size();
        qsizetype best = -1;
        for (qsizetype e = p; e + endPattern.size() <= text.size(); ++e) {
            if (e > p && text.at(e - 1) == QLatin1Char('\n'))
                break;
            if (SlowMatchesAt(text, e, endPattern))
                best = e;
        }
        if (best >= 0)
            return text.mid(p, best - p);
    }
    return QStringLiteral("0");
}

// The first "kB time=" whose first " bitrate=" after it lies on the same line.
QString SlowReportPositionText(const QString& text)
{
    const QString timeMarker = QStringLiteral("kB time=");
    const QString bitrateMarker = QStringLiteral(" bitrate=");
    for (qsizetype start = text.indexOf(timeMarker); start >= 0; start = text.indexOf(timeMarker, start + 1)) {
        const qsizetype value = start + timeMarker.size();
        const qsizetype end = text.indexOf(bitrateMarker, value);
        if (end < 0)
            return QStringLiteral("0");
        const QString between = text.mid(value, end - value);
        if (!between.contains(QLatin1Char('\n')))
            return between;
    }
    return QStringLiteral("0");
}

std::string CheckExtract(const QString& text, const QString& start, const QString& end)
{
    // The slow search is quadratic; long inputs only go through the fast one.
    const QString fast = ExtractBetween(text, start, end);
    if (text.size() > 4096)
        return {};
    const QString slow = SlowExtractBetween(text, start, end);
    if (fast != slow)
        return "ExtractBetween(\"" + Show(start) + "\", \"" + Show(end) + "\") gave \"" + Show(fast) + "\", expected \""
            + Show(slow) + "\"";
    return {};
}

std::string CheckOutputSize(const std::optional<QSize>& size, const char* from)
{
    if (!size)
        return {};
    if (size->width() < 1 || size->height() < 1 || size->width() > MaxSide || size->height() > MaxSide)
        return std::string("ComputeOutputSize(") + from + ") gave " + std::to_string(size->width()) + "x"
            + std::to_string(size->height());
    return {};
}

std::string CheckTimeText(qint32 seconds)
{
    const QString text = TimeText(seconds);
    if (seconds < 0)
        return text == QLatin1String("00:00:00") ? std::string() : "TimeText of a negative time: " + Show(text);
    if (seconds >= 25 * 3600)
        return text == QLatin1String(">24 hours") ? std::string() : "TimeText past a day: " + Show(text);
    const QStringList parts = text.split(QLatin1Char(':'));
    bool ok[3] = {false, false, false};
    const int h = parts.value(0).toInt(&ok[0]);
    const int m = parts.value(1).toInt(&ok[1]);
    const int s = parts.value(2).toInt(&ok[2]);
    if (text.size() != 8 || parts.size() != 3 || !ok[0] || !ok[1] || !ok[2] || m > 59 || s > 59
        || h * 3600 + m * 60 + s != seconds)
        return "TimeText(" + std::to_string(seconds) + ") gave " + Show(text);
    return {};
}

// Whole seconds of a finite position, clamped to what TimeText takes.
qint32 ClampSeconds(double seconds)
{
    const double down = std::floor(seconds);
    if (down <= std::numeric_limits<qint32>::min())
        return std::numeric_limits<qint32>::min();
    if (down >= std::numeric_limits<qint32>::max())
        return std::numeric_limits<qint32>::max();
    return static_cast<qint32>(down);
}

// ---- filter graph escaping ---------------------------------------------------------------------------

// Removes one level of backslash escaping; false when one of `special` occurs unescaped.
bool Unescape(const std::string& text, const char* special, std::string& plain)
{
    plain.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\') {
            if (++i == text.size())
                return false; // a trailing backslash would escape what follows in the chain
            plain += text[i];
        } else if (std::strchr(special, text[i]) && text[i] != '\0') {
            return false;
        } else {
            plain += text[i];
        }
    }
    return true;
}

// A path placed into the subtitle filter must stay one value of one filter.
std::string CheckFilterEscaping(const std::string& path)
{
    const std::string prefix = "subtitles=filename=";
    const std::string filter = EscapeFilterGraph(prefix + EscapeFilterValue(path));
    std::string options;
    if (!Unescape(filter, ",;[]'", options))
        return "the filter graph escaping leaves a separator open: " + filter;
    std::string value;
    if (options.rfind(prefix, 0) != 0 || !Unescape(options.substr(prefix.size()), ":'", value))
        return "the filter option escaping leaves a separator open: " + options;
    if (value != path)
        return "the escaped path reads back as " + value;
    return {};
}

// Well-formed UTF-8 by the table of valid byte sequences.
bool TableValidUtf8(const std::string& bytes)
{
    size_t i = 0;
    const auto in = [&bytes](size_t at, unsigned lo, unsigned hi) {
        if (at >= bytes.size())
            return false;
        const auto b = static_cast<unsigned char>(bytes[at]);
        return b >= lo && b <= hi;
    };
    while (i < bytes.size()) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        size_t length = 0;
        if (b <= 0x7F)
            length = 1;
        else if (b >= 0xC2 && b <= 0xDF)
            length = in(i + 1, 0x80, 0xBF) ? 2 : 0;
        else if (b == 0xE0)
            length = in(i + 1, 0xA0, 0xBF) && in(i + 2, 0x80, 0xBF) ? 3 : 0;
        else if ((b >= 0xE1 && b <= 0xEC) || b == 0xEE || b == 0xEF)
            length = in(i + 1, 0x80, 0xBF) && in(i + 2, 0x80, 0xBF) ? 3 : 0;
        else if (b == 0xED)
            length = in(i + 1, 0x80, 0x9F) && in(i + 2, 0x80, 0xBF) ? 3 : 0;
        else if (b == 0xF0)
            length = in(i + 1, 0x90, 0xBF) && in(i + 2, 0x80, 0xBF) && in(i + 3, 0x80, 0xBF) ? 4 : 0;
        else if (b >= 0xF1 && b <= 0xF3)
            length = in(i + 1, 0x80, 0xBF) && in(i + 2, 0x80, 0xBF) && in(i + 3, 0x80, 0xBF) ? 4 : 0;
        else if (b == 0xF4)
            length = in(i + 1, 0x80, 0x8F) && in(i + 2, 0x80, 0xBF) && in(i + 3, 0x80, 0xBF) ? 4 : 0;
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

// One file per process, removed at exit; the name outlives every static string.
const char* TempScriptPath()
{
    static char path[4096];
    if (!path[0]) {
        const std::string name = QDir::tempPath().toStdString() + "/reelpocket-fuzz-XXXXXX.avs";
        if (name.size() >= sizeof path)
            std::abort();
        std::memcpy(path, name.c_str(), name.size() + 1);
        const int fd = ::mkstemps(path, 4);
        if (fd < 0) {
            std::perror("mkstemps");
            std::abort();
        }
        ::close(fd);
        std::atexit([] { std::remove(path); });
    }
    return path;
}

} // namespace

std::string CheckLanguage(const std::string& bytes)
{
    const QByteArray raw(bytes.data(), static_cast<qsizetype>(bytes.size()));
    const QString text = DecodeLanguageBytes(raw);
    if (TableValidUtf8(bytes)) {
        // A byte order mark is read over; every other byte comes back.
        const QByteArray again = text.toUtf8();
        if (again != raw && QByteArray("\xEF\xBB\xBF") + again != raw)
            return "valid UTF-8 did not read back as itself";
    } else if (text.size() != raw.size()) {
        return "a Windows-1252 file gave " + std::to_string(text.size()) + " characters for "
            + std::to_string(raw.size()) + " bytes";
    }

    const QStringList entries = SplitLanguageEntries(text);
    if (entries.join(QStringLiteral("§\r\n\r\n§")) != text)
        return "the entries do not join back into the file";

    Localisation loc;
    loc.LanguageEntries = entries;
    loc.CurrentLanguage = LanguageNames().value(bytes.empty() ? 0 : static_cast<unsigned char>(bytes[0]) % 10);
    const QString fieldSeparator = QStringLiteral("|\r\n");
    const QStringList keys {QStringLiteral("frmCaption"), QStringLiteral("cmdConvert"),
                            entries.first().section(fieldSeparator, 0, 0),
                            entries.last().section(fieldSeparator, 0, 0)};
    // The current language, an explicit one, the fallback column and a language the file does not have.
    const QStringList languages {QString(), LanguageNames().value(bytes.size() % 9), QStringLiteral("English"),
                                 QStringLiteral("Klingon")};
    for (const QString& key : keys) {
        bool present = false;
        for (const QString& entry : entries)
            present = present || entry.section(fieldSeparator, 0, 0) == key;
        for (const QString& language : languages) {
            const QString result = Translate(loc, key, language);
            if (!present && !result.isEmpty())
                return "Translate found text for a key the file does not have: " + Show(key);
        }
    }
    return {};
}

std::string CheckProbeParse(const std::string& bytes)
{
    const QString text = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    const QString patterns[][2] = {{QStringLiteral("Duration: "), QStringLiteral(".., start:")},
                                   {QStringLiteral("Video: "), QStringLiteral(" .PAR")},
                                   {QStringLiteral(", "), QStringLiteral(" tb")},
                                   {QStringLiteral(", "), QString()}};
    for (const auto& pattern : patterns) {
        if (std::string failure = CheckExtract(text, pattern[0], pattern[1]); !failure.empty())
            return failure;
    }
    TimeToSeconds(text);

    const QString fields = ParseProbeOutput(text);
    const std::optional<MediaInfo> info = ParseMediaInfo(text);
    if (fields.isEmpty() != !info)
        return "ParseProbeOutput and ParseMediaInfo disagree on whether the text can be read";
    if (!info)
        return {};
    const QStringList parts = fields.split(QLatin1Char('|'));
    if (parts.size() < 4 || parts.first() != PlainNumber(info->Duration)
        || parts.last() != PlainNumber(info->FrameRate))
        return "ParseProbeOutput gave \"" + Show(fields) + "\"";
    if (std::string failure = CheckOutputSize(ComputeOutputSize(info->Width, info->Height), "numbers");
        !failure.empty())
        return failure;
    // The width and height texts lie between the first and the last separator.
    const QString size = fields.section(QLatin1Char('|'), 1, -2);
    const qsizetype split = size.lastIndexOf(QLatin1Char('|'));
    return CheckOutputSize(ComputeOutputSize(size.left(split), size.mid(split + 1)), "texts");
}

std::string CheckProgressReport(const std::string& bytes)
{
    const QString text = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    const QString position = ReportPositionText(text);
    const QString slow = SlowReportPositionText(text);
    if (position != slow)
        return "ReportPositionText gave \"" + Show(position) + "\", expected \"" + Show(slow) + "\"";
    const std::optional<double> seconds = TimeToSeconds(position);
    if (seconds && std::isfinite(*seconds)) {
        if (std::string failure = CheckTimeText(ClampSeconds(*seconds)); !failure.empty())
            return failure;
    }
    qint32 raw = 0;
    std::memcpy(&raw, bytes.data(), std::min(bytes.size(), sizeof raw));
    return CheckTimeText(raw);
}

std::string CheckVersionReply(const std::string& bytes)
{
    // The reply is read as the check reads it.
    const QString reply = QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()));
    const VersionCheck::Outcome outcome = EvaluateVersionText(reply);
    if ((reply == QLatin1String("-1")) != (outcome == VersionCheck::Outcome::Failed))
        return "only the failure marker may count as a failed check";
    if (!reply.contains(QLatin1String("CURRENT_VERSION=>")) && outcome == VersionCheck::Outcome::NewerVersion)
        return "a reply without a version announced a newer one";
    return {};
}

std::string CheckCommandLine(const std::string& bytes)
{
    const QString line = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    const QStringList parts = SplitCommandLine(line);
    QStringList quoted;
    for (const QString& part : parts) {
        if (part.contains(QLatin1Char('"')))
            return "a split argument kept a double quote: " + Show(part);
        quoted << QLatin1Char('"') + part + QLatin1Char('"');
    }
    if (SplitCommandLine(quoted.join(QLatin1Char(' '))) != parts)
        return "quoting the arguments and splitting again changed them";
    if (line.contains(QLatin1Char('"')))
        return {};

    QString blanksOnly = line;
    blanksOnly.replace(QLatin1Char('\t'), QLatin1Char(' '));
    if (parts != blanksOnly.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        return "a line without quotes did not split at its blanks";
    // The program's own command lines put a path without quotes inside quotes: it must come back whole.
    if (SplitCommandLine(ProbeCommand(line)) != QStringList {QStringLiteral("ffmpeg.exe"), QStringLiteral("-i"), line})
        return "the probe command line did not give back its source";
    const QString output = line + QStringLiteral(".mp4");
    const QStringList encode = SplitCommandLine(EncoderCommand(line, QStringLiteral(" -r 30"), 480, 270, output));
    if (encode.value(3) != line || encode.last() != output)
        return "the encoder command line did not give back its source and output";
    return {};
}

std::string CheckBridgeArguments(const std::string& bytes)
{
    std::vector<std::string> args;
    size_t from = 0;
    for (size_t nul = bytes.find('\0'); nul != std::string::npos; nul = bytes.find('\0', from)) {
        args.push_back(bytes.substr(from, nul - from));
        from = nul + 1;
    }
    if (from < bytes.size())
        args.push_back(bytes.substr(from));

    const Request request = ParseArguments(args);
    if ((request.mode == Request::Mode::Invalid) == request.error.empty())
        return "a request is invalid exactly when it has an error";
    if (request.mode == Request::Mode::Invalid)
        return {};
    if ((request.mode == Request::Mode::Encode) == request.output.empty())
        return "an encode needs an output and a probe has none";

    const Translation translation = TranslateOutputOptions(request.outputOptions);
    if (translation.size) {
        const PictureSize size = *translation.size;
        if (size.width % 2 || size.height % 2 || size.width < 2 || size.height < 2 || size.width > 16384
            || size.height > 16384)
            return "-s gave " + std::to_string(size.width) + "x" + std::to_string(size.height);
    }
    const std::string subtitles = EscapeFilterGraph("subtitles=filename=" + EscapeFilterValue(request.input));
    const std::string chain = BuildVideoFilters(translation, subtitles);
    if (chain.find("scale=") == std::string::npos)
        return "the filter chain has no scale: " + chain;
    return CheckFilterEscaping(request.input);
}

std::string CheckAvsReader(const std::string& bytes)
{
    const std::string path = TempScriptPath();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size() || std::fclose(file) != 0) {
        std::perror(path.c_str());
        std::abort();
    }

    const Result<SubtitleScript> script = ReadSubtitleScript(path);
    if (static_cast<bool>(script) == !script.why().empty())
        return "the script was read and refused at once: " + script.why();
    if (script) {
        for (const std::string* value : {&script->source, &script->plugin, &script->subtitles}) {
            if (value->find('\n') != std::string::npos)
                return "a script value runs over its line: " + *value;
        }
        if (std::string failure = CheckFilterEscaping(script->subtitles); !failure.empty())
            return failure;
    }

    if (IsValidUtf8(bytes) != TableValidUtf8(bytes))
        return std::string("IsValidUtf8 said ") + (IsValidUtf8(bytes) ? "valid" : "invalid") + " for the opposite";
    // The same file read as subtitles.
    const Result<std::string> read = SubtitleFilter(path);
    if (!read || read->empty())
        return "the subtitles were not read: " + read.why();
    const std::string& filter = *read;
    // A byte-order mark names the encoding itself (Notepad's "Unicode" is UTF-16); only text without
    // one that is not UTF-8 is read as the older Western European encoding.
    const bool marked
        = bytes.rfind("\xEF\xBB\xBF", 0) == 0 || bytes.rfind("\xFF\xFE", 0) == 0 || bytes.rfind("\xFE\xFF", 0) == 0;
    const bool legacy = filter.find(":charenc=") != std::string::npos;
    if (legacy != (!marked && !IsValidUtf8(bytes)))
        return "the subtitle encoding was chosen wrongly: " + filter;
    return {};
}

const std::vector<FuzzCheck>& FuzzChecks()
{
    static const std::vector<FuzzCheck> checks {
        {"fuzz_language", CheckLanguage},
        {"fuzz_probe_parse", CheckProbeParse},
        {"fuzz_progress_report", CheckProgressReport},
        {"fuzz_version_reply", CheckVersionReply},
        {"fuzz_command_line", CheckCommandLine},
        {"fuzz_bridge_arguments", CheckBridgeArguments},
        {"fuzz_avs_reader", CheckAvsReader},
    };
    return checks;
}
