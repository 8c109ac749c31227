#include "EncodingJob.h"

#include "window/Form1.h"

QString ProbeCommand(const QString& source)
{
    return QStringLiteral("ffmpeg.exe -i \"") + source + QLatin1Char('"');
}

// STUB: replaced by the real job preparation.
bool PrepareJob(Form1& f, const QString&)
{
    f.conv.Jobs[f.conv.CurrentIndex].ffcmd = QStringLiteral("ffmpeg.exe -y -i \"") + f.conv.Jobs[f.conv.CurrentIndex].File + QLatin1Char('"');
    return true;
}

QSize ComputeOutputSize(const QString&, const QString&)
{
    return {};
}

bool IsEven(qint32 n)
{
    return n % 2 == 0;
}
