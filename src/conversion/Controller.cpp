#include "Controller.h"

#include "EncodingJob.h"
#include "Paths.h"
#include "SubtitleScript.h"
#include "WindowLooks.h"
#include "update/WebLinks.h"
#include "window/Destination.h"
#include "window/Form1.h"
#include "window/FrmCancel.h"
#include "window/ProgressBar.h"
#include "window/Twips.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

void StartConversion(Form1& f)
{
    ConversionState& c = f.conv;
    const int count = f.lstSource->count();
    // The table needs its empty end row: a longer list cannot be run.
    if (count > MaxSources) {
        f.platform.messages->showOk(T(f, QStringLiteral("error_toomanysources")));
        return;
    }
    c.Jobs.assign(JobRows, Job {});
    for (int i = 0; i < count; ++i)
        c.Jobs[i].File = f.lstSource->item(i)->text();
    if (c.Jobs[0].File.isEmpty()) {
        f.platform.messages->showOk(T(f, QStringLiteral("error_badsource")));
        return;
    }
    const QString result = CheckDestination(f);
    if (result != QLatin1String("ok")) {
        f.platform.messages->showOk(T(f, result));
        return;
    }
    ShowConverting(f);
    c.ConversionPhase = PhaseInfo;
    c.CurrentIndex = 0;
    c.FailedSources.clear();
    c.ConvertedCount = 0;
    ProbeCurrentSource(f);
}

QString CheckDestination(Form1& f)
{
    const QString d = f.txtDestination->text();
    // The folder must exist; it is never created here. A double quote could not be written inside
    // the quoted output path of the encoder's command line.
    if (!d.endsWith(Separator()) || !QFileInfo(d).isDir() || d.contains(QLatin1Char('"')))
        return QStringLiteral("error_badDestination");
    return QStringLiteral("ok");
}

void ProbeCurrentSource(Form1& f)
{
    const QString& source = f.conv.Jobs[f.conv.CurrentIndex].File;
    // A double quote would close the quoted path early and the rest of the name would be read as
    // options: the probe itself could then write over another file.
    if (source.contains(QLatin1Char('"'))) {
        Refuse(f, source, QStringLiteral("error_badsource"));
        return;
    }
    f.ShellRpk(ProbeCommand(source));
}

namespace {
// An encode counts only when the encoder said so and its output is there.
void RecordEncodeResult(Form1& f)
{
    ConversionState& c = f.conv;
    const bool succeeded = f.S && f.S->Succeeded() && FileExists(OutputFileName(f));
    if (succeeded)
        ++c.ConvertedCount;
    else
        c.FailedSources << c.Jobs[c.CurrentIndex].File;
}

void ReportFailedEncodes(Form1& f)
{
    const QString failed = T(f, QStringLiteral("error_encodefailed"));
    f.lblStatus->setTitle(failed);
    SetTextColour(f.lblStatus, CancelledColour);
    QStringList lines;
    for (const QString& source : f.conv.FailedSources)
        lines << source + QStringLiteral(":\n") + failed;
    f.platform.messages->showOk(lines.join(QStringLiteral("\n\n")));
}
} // namespace

void OnRunnerCompleted(Form1& f, const QString& res)
{
    ConversionState& c = f.conv;
    if (c.ConversionPhase == PhaseInfo) {
        if (!PrepareJob(f, res))
            return;
        ++c.CurrentIndex;
        if (!c.Jobs[c.CurrentIndex].File.isEmpty()) {
            ProbeCurrentSource(f);
        } else {
            c.CurrentIndex = 0;
            c.ConversionPhase = PhaseConversion;
            StartEncoding(f);
        }
    } else if (c.ConversionPhase == PhaseConversion) {
        RecordEncodeResult(f);
        ++c.CurrentIndex;
        StartEncoding(f);
    }
}

void StartEncoding(Form1& f)
{
    ConversionState& c = f.conv;
    const Job& job = c.Jobs[c.CurrentIndex];
    if (!job.File.isEmpty()) {
        ShowConverting(f);
        const int count = f.lstSource->count();
        if (count > 1) {
            f.lblStatus->setTitle(T(f, QStringLiteral("cmdConvert_ing")) + QLatin1Char('(')
                                  + QString::number(c.CurrentIndex + 1) + QLatin1Char('/') + QString::number(count)
                                  + QLatin1Char(')'));
        }
        SetBarMax(f.pBar, job.pbarmax.toFloat());
        const QString folder = f.platform.system->programFolder();
        if (CheckValue(f.chkSubtitles) == 1 && SubtitlesAvailable(folder, job.File))
            WriteSubtitleScript(folder, job.File);
        f.ShellRpk(job.ffcmd);
        return;
    }
    ShowFinished(f, f.lblTimeE->text());
    if (!c.FailedSources.isEmpty())
        ReportFailedEncodes(f);
    // Nothing to put on the phone when every encode failed.
    if (CheckValue(f.chkShowPutiPhone) == 1 && c.ConvertedCount > 0)
        OpenPutOnIPhonePage(f);
}

void RequestCancel(Form1& f)
{
    f.setEnabled(false);
    f.frmCancel->Load();
}

void ConfirmCancel(Form1& f)
{
    // Cleared first, so a completion caused by the stop is ignored.
    f.conv.ConversionPhase.clear();
    if (f.S)
        f.S->Stop();
    f.ReleaseRunner();
    ShowCancelled(f);
    f.setEnabled(true);
    if (f.conv.CloseAfterCancel == 1)
        f.close();
    f.frmCancel->hide();
}

void DeclineCancel(Form1& f)
{
    f.conv.CloseAfterCancel = 0;
    f.setEnabled(true);
    f.frmCancel->hide();
}

bool QueryUnload(Form1& f)
{
    const QString converting = T(f, QStringLiteral("cmdConvert_ing"));
    // An empty text would be found in every caption and the window could never close.
    if (!converting.isEmpty() && f.lblStatus->title().contains(converting)) {
        f.conv.CloseAfterCancel = 1;
        RequestCancel(f);
        return false;
    }
    return true;
}
