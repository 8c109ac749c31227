#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <string>

// Small real media made at test time with the system's ffmpeg, and facts read back with ffprobe.
namespace media {

// Runs /usr/bin/ffmpeg with `args` and then `output`; true when it succeeded and the file exists.
bool Generate(const QStringList& args, const QString& output);

// A test picture with a tone: `video` is a lavfi size and rate such as "640x480:rate=25".
bool MakeClip(const QString& output, const QString& video, double seconds, const QStringList& encodeArgs,
              bool withAudio = true);

// key=value facts of one stream ("v:0", "a:0") or of the file (selector "format").
QMap<QString, QString> Probe(const QString& path, const QString& selector);

// One decoded frame as 8-bit grey pixels, at `seconds` into the file, through the video filters `filters`
// when given.
QByteArray GreyFrame(const QString& path, double seconds, const QString& filters = QString());

// The mean colour saturation of an 8-bit video's frames (signalstats' SATAVG); -1 when unreadable.
double MeanSaturation(const QString& path);

// The frequency of the tone in the file's first audio stream, counted from its zero crossings.
double ToneFrequency(const QString& path);

// Mean absolute difference of two equally sized grey frames; -1 when their sizes differ.
double MeanDifference(const QByteArray& a, const QByteArray& b);

// Times (seconds, on the file's own timeline) of the decoded frames whose mean brightness is above `level`
// (0-255).
QList<double> BrightFrameTimes(const QString& path, double level = 128);

// Times at which the sound starts after a silence, as silencedetect hears them.
QList<double> SoundOnsets(const QString& path);

// key=value facts of the first video stream with its frames counted (nb_read_frames).
QMap<QString, QString> CountFrames(const QString& path);

// The settings x264 wrote into the stream it made ("cabac" -> "0", "bframes" -> "0", ...); empty when the
// file holds no such note.
QMap<QString, QString> X264Settings(const QString& path);

// What exiftool reads of a file's dates, places and devices, as "Group:Tag" -> value ("Keys:CreationDate",
// "UserData:GPSCoordinates", "Track1:TrackCreateDate"); times in UTC unless they carry a zone of their own.
QMap<QString, QString> ExifTags(const QString& path);

// The checksums of the video packets, in order, one a line; empty when unreadable.
std::string VideoPacketSums(const QString& path);

// Decodes the whole file; true when ffmpeg has nothing to complain about.
bool DecodesCleanly(const QString& path);

// Adds `boxes` (whole MP4 boxes) to the first track's sample entry of an MP4 file whose index follows its media
// data (ffmpeg's default), as a file that states them itself would hold them; false when the file has no such entry.
bool AddToSampleEntry(const QString& path, const QByteArray& boxes);
// An MP4 box of that type and body.
QByteArray Box(const char* type, const QByteArray& body);

// Pids of running processes whose command line contains `marker`.
QList<qint64> ProcessesMentioning(const QString& marker);

} // namespace media
