#include "MediaFixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <cstdlib>

namespace media {

namespace {

QByteArray RunTool(const QString& program, const QStringList& args, bool* ok, QByteArray* errors = nullptr)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.start(program, args);
    const bool finished = process.waitForFinished(120000);
    *ok = finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (errors)
        *errors = process.readAllStandardError();
    return process.readAllStandardOutput();
}

} // namespace

bool Generate(const QStringList& args, const QString& output)
{
    bool ok = false;
    RunTool(QStringLiteral("/usr/bin/ffmpeg"),
            QStringList {"-hide_banner", "-nostdin", "-loglevel", "error", "-y"} + args + QStringList {output}, &ok);
    return ok && QFileInfo(output).isFile();
}

bool MakeClip(const QString& output, const QString& video, double seconds, const QStringList& encodeArgs,
              bool withAudio)
{
    const QString duration = QString::number(seconds);
    QStringList args {"-f", "lavfi", "-i", "testsrc=size=" + video + ":duration=" + duration};
    if (withAudio)
        args += QStringList {"-f", "lavfi", "-i", "sine=frequency=440:sample_rate=44100:duration=" + duration};
    // testsrc is RGB; encoders would otherwise keep full chroma.
    const QStringList format = encodeArgs.contains("-pix_fmt") ? QStringList() : QStringList {"-pix_fmt", "yuv420p"};
    return Generate(args + format + encodeArgs, output);
}

QMap<QString, QString> Probe(const QString& path, const QString& selector)
{
    QStringList args {"-v", "error", "-of", "default=noprint_wrappers=1"};
    if (selector == QLatin1String("format"))
        args += QStringList {"-show_entries", "format"};
    else
        args += QStringList {"-select_streams", selector, "-show_entries", "stream"};
    bool ok = false;
    const QString text = QString::fromUtf8(RunTool(QStringLiteral("/usr/bin/ffprobe"), args << path, &ok));
    QMap<QString, QString> facts;
    if (!ok)
        return facts;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq > 0)
            facts.insert(line.left(eq), line.mid(eq + 1).trimmed());
    }
    return facts;
}

QByteArray GreyFrame(const QString& path, double seconds, const QString& filters)
{
    QStringList args {"-hide_banner",           "-nostdin", "-loglevel", "error",     "-ss",
                      QString::number(seconds), "-i",       path,        "-frames:v", "1"};
    if (!filters.isEmpty())
        args += QStringList {"-vf", filters};
    bool ok = false;
    const QByteArray pixels = RunTool(QStringLiteral("/usr/bin/ffmpeg"),
                                      args + QStringList {"-f", "rawvideo", "-pix_fmt", "gray", "-"}, &ok);
    return ok ? pixels : QByteArray();
}

double ToneFrequency(const QString& path)
{
    bool ok = false;
    const QByteArray samples = RunTool(QStringLiteral("/usr/bin/ffmpeg"),
                                       {"-hide_banner", "-nostdin", "-loglevel", "error", "-i", path, "-map", "0:a:0",
                                        "-ac", "1", "-ar", "48000", "-f", "s16le", "-"},
                                       &ok);
    const auto* values = reinterpret_cast<const qint16*>(samples.constData());
    const qsizetype count = samples.size() / 2;
    if (!ok || count < 4800)
        return -1;
    // Rising crossings, with a dead band so that coding noise around zero does not count.
    int rising = 0;
    int sign = 0;
    for (qsizetype i = 0; i < count; ++i) {
        const int now = values[i] > 300 ? 1 : values[i] < -300 ? -1 : 0;
        if (now != 0 && now != sign) {
            rising += now > 0 && sign < 0;
            sign = now;
        }
    }
    return rising / (static_cast<double>(count) / 48000);
}

double MeanDifference(const QByteArray& a, const QByteArray& b)
{
    if (a.size() != b.size() || a.isEmpty())
        return -1;
    double sum = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        sum += std::abs(static_cast<int>(static_cast<unsigned char>(a[i])) - static_cast<unsigned char>(b[i]));
    return sum / static_cast<double>(a.size());
}

namespace {

// What ffprobe prints for the frames of `graph` (a lavfi source graph), one line per entry.
QStringList LavfiLines(const QString& graph, const QString& entries)
{
    bool ok = false;
    const QString text = QString::fromUtf8(RunTool(
        QStringLiteral("/usr/bin/ffprobe"),
        {"-v", "error", "-f", "lavfi", "-i", graph, "-show_entries", entries, "-of", "default=noprint_wrappers=1"},
        &ok));
    return ok ? text.split(QLatin1Char('\n'), Qt::SkipEmptyParts) : QStringList();
}

QString Escaped(const QString& text, const QString& specials)
{
    QString out;
    for (const QChar c : text) {
        if (specials.contains(c))
            out += QLatin1Char('\\');
        out += c;
    }
    return out;
}

// A path as the file option of a source filter: escaped for the option, then for the graph.
QString GraphPath(const QString& path)
{
    return Escaped(Escaped(path, QStringLiteral("\\':")), QStringLiteral("\\'[],;"));
}

} // namespace

QList<double> BrightFrameTimes(const QString& path, double level)
{
    QList<double> times;
    double time = 0;
    for (const QString& line : LavfiLines("movie=filename=" + GraphPath(path) + ",signalstats",
                                          "frame=pts_time:frame_tags=lavfi.signalstats.YAVG")) {
        if (line.startsWith(QLatin1String("pts_time=")))
            time = line.mid(9).toDouble();
        else if (line.contains(QLatin1String("YAVG=")) && line.section(QLatin1Char('='), 1).toDouble() > level)
            times << time;
    }
    return times;
}

double MeanSaturation(const QString& path)
{
    double sum = 0;
    int frames = 0;
    for (const QString& line :
         LavfiLines("movie=filename=" + GraphPath(path) + ",signalstats", "frame_tags=lavfi.signalstats.SATAVG")) {
        if (line.contains(QLatin1String("SATAVG="))) {
            sum += line.section(QLatin1Char('='), 1).toDouble();
            ++frames;
        }
    }
    return frames > 0 ? sum / frames : -1;
}

QList<double> SoundOnsets(const QString& path)
{
    QList<double> onsets;
    for (const QString& line : LavfiLines("amovie=filename=" + GraphPath(path) + ",silencedetect=n=-30dB:d=0.02",
                                          "frame_tags=lavfi.silence_end")) {
        if (line.contains(QLatin1String("silence_end=")))
            onsets << line.section(QLatin1Char('='), 1).toDouble();
    }
    return onsets;
}

QMap<QString, QString> CountFrames(const QString& path)
{
    QStringList args {"-v",
                      "error",
                      "-count_frames",
                      "-select_streams",
                      "v:0",
                      "-show_entries",
                      "stream",
                      "-of",
                      "default=noprint_wrappers=1",
                      path};
    bool ok = false;
    const QString text = QString::fromUtf8(RunTool(QStringLiteral("/usr/bin/ffprobe"), args, &ok));
    QMap<QString, QString> facts;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (ok && eq > 0)
            facts.insert(line.left(eq), line.mid(eq + 1).trimmed());
    }
    return facts;
}

QMap<QString, QString> X264Settings(const QString& path)
{
    QMap<QString, QString> settings;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return settings;
    const QByteArray bytes = file.readAll();
    const qsizetype note = bytes.indexOf("x264 - core");
    const qsizetype options = note < 0 ? -1 : bytes.indexOf(" options: ", note);
    if (options < 0)
        return settings;
    const qsizetype end = bytes.indexOf('\0', options);
    const QString text = QString::fromLatin1(bytes.mid(options + 10, end < 0 ? -1 : end - options - 10));
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const qsizetype eq = word.indexOf(QLatin1Char('='));
        if (eq > 0)
            settings.insert(word.left(eq), word.mid(eq + 1));
    }
    return settings;
}

QMap<QString, QString> ExifTags(const QString& path)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TZ"), QStringLiteral("UTC"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral("exiftool"),
                  {"-j", "-a", "-G1", "-api", "QuickTimeUTC", "-time:all", "-gps:all", "-location:all", "-camera:all",
                   "-Keys:all", "-UserData:all", "-ItemList:all", path});
    QMap<QString, QString> tags;
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return tags;
    const QJsonArray files = QJsonDocument::fromJson(process.readAllStandardOutput()).array();
    const QJsonObject file = files.isEmpty() ? QJsonObject() : files.first().toObject();
    for (auto it = file.begin(); it != file.end(); ++it)
        tags.insert(it.key(), it.value().toVariant().toString());
    return tags;
}

QList<qint64> ProcessesMentioning(const QString& marker)
{
    QList<qint64> found;
    const QByteArray needle = marker.toUtf8();
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool isPid = false;
        const qint64 pid = entry.toLongLong(&isPid);
        if (!isPid)
            continue;
        QFile cmdline(QStringLiteral("/proc/") + entry + QStringLiteral("/cmdline"));
        if (cmdline.open(QIODevice::ReadOnly) && cmdline.readAll().contains(needle))
            found << pid;
    }
    return found;
}

std::string VideoPacketSums(const QString& path)
{
    bool ok = false;
    const QString text = QString::fromUtf8(RunTool(
        "/usr/bin/ffmpeg", {"-v", "error", "-i", path, "-map", "0:v:0", "-c", "copy", "-f", "framemd5", "-"}, &ok));
    QStringList sums;
    for (const QString& line : text.split('\n', Qt::SkipEmptyParts))
        if (!line.startsWith('#'))
            sums << line.section(',', -1).trimmed();
    return ok ? sums.join('\n').toStdString() : std::string();
}

bool DecodesCleanly(const QString& path)
{
    bool ok = false;
    QByteArray complaints;
    RunTool("/usr/bin/ffmpeg", {"-v", "error", "-i", path, "-f", "null", "-"}, &ok, &complaints);
    return ok && complaints.isEmpty();
}

namespace {

quint32 Be32At(const QByteArray& bytes, qsizetype at)
{
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData() + at);
    return (quint32(p[0]) << 24) | (quint32(p[1]) << 16) | (quint32(p[2]) << 8) | p[3];
}

void PutBe32(QByteArray& bytes, qsizetype at, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<char>(value >> (24 - 8 * i));
}

// The box of `type` among those from `from` to `end`; -1 when there is none.
qsizetype FindBox(const QByteArray& bytes, qsizetype from, qsizetype end, const char* type)
{
    while (from + 8 <= end) {
        const quint32 size = Be32At(bytes, from);
        if (size < 8)
            return -1;
        if (bytes.mid(from + 4, 4) == type)
            return from;
        from += size;
    }
    return -1;
}

} // namespace

QByteArray Box(const char* type, const QByteArray& body)
{
    QByteArray box(4, '\0');
    PutBe32(box, 0, static_cast<quint32>(8 + body.size()));
    return box + type + body;
}

bool AddToSampleEntry(const QString& path, const QByteArray& boxes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QByteArray bytes = file.readAll();
    file.close();
    // moov/trak/mdia/minf/stbl/stsd, then the entry (a version and count ahead of it), each one grown.
    QList<qsizetype> chain;
    qsizetype at = 0;
    qsizetype end = bytes.size();
    for (const char* type : {"moov", "trak", "mdia", "minf", "stbl", "stsd"}) {
        at = FindBox(bytes, at, end, type);
        if (at < 0)
            return false;
        chain << at;
        end = at + Be32At(bytes, at);
        at += 8;
    }
    const qsizetype entry = at + 8;
    if (entry + 8 > end)
        return false;
    chain << entry;
    const qsizetype entryEnd = entry + Be32At(bytes, entry);
    bytes.insert(entryEnd, boxes);
    for (const qsizetype box : chain)
        PutBe32(bytes, box, Be32At(bytes, box) + static_cast<quint32>(boxes.size()));
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace media
