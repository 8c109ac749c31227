#include "Batch.h"

#include "EncodingJob.h"
#include "Paths.h"
#include "SubtitleScript.h"
#include "update/WebLinks.h"

#include <QFileInfo>
#include <QTimer>

void DeleteLaterRunner::operator()(::ShellRpk* runner) const
{
    runner->disconnect();
    runner->deleteLater();
}

Batch::Batch(Platform& platform, const Localisation& lang, WebLinks& links, BatchView& view, QObject* parent)
    : QObject(parent)
    , Timer(new QTimer(this))
    , platform_(platform)
    , lang_(lang)
    , links_(links)
    , view_(view)
{
    Timer->setObjectName(QStringLiteral("Timer"));
    Timer->setInterval(1000);
    connect(Timer, &QTimer::timeout, this, &Batch::TimerTick);
}

Batch::~Batch()
{
    // No encoder outlives the batch.
    StopRunner();
}

QString Batch::T(const QString& key) const
{
    return Translate(lang_, key);
}

int Batch::SourceCount() const
{
    int count = 0;
    while (count < static_cast<int>(Jobs.size()) && !Jobs[count].File.isEmpty())
        ++count;
    return count;
}

void Batch::StartConversion(const QStringList& sources, const QString& destination, const BatchOptions& options)
{
    // The table needs its empty end row: a longer list cannot be run.
    if (sources.size() > MaxSources) {
        platform_.messages->showOk(T(QStringLiteral("error_toomanysources")));
        return;
    }
    Jobs.assign(JobRows, Job {});
    for (int i = 0; i < sources.size(); ++i)
        Jobs[i].File = sources.at(i);
    if (Jobs[0].File.isEmpty()) {
        platform_.messages->showOk(T(QStringLiteral("error_badsource")));
        return;
    }
    const QString result = CheckDestination(destination);
    if (result != QLatin1String("ok")) {
        platform_.messages->showOk(T(result));
        return;
    }
    Destination = destination;
    Options = options;
    ShowConverting();
    ConversionPhase = Phase::Info;
    CurrentIndex = 0;
    FailedSources.clear();
    ConvertedCount = 0;
    ProbeCurrentSource();
}

QString Batch::CheckDestination(const QString& d)
{
    // The folder must exist; it is never created here. A double quote could not be written inside
    // the quoted output path of the encoder's command line.
    if (!d.endsWith(Separator()) || !QFileInfo(d).isDir() || d.contains(QLatin1Char('"')))
        return QStringLiteral("error_badDestination");
    return QStringLiteral("ok");
}

void Batch::ProbeCurrentSource()
{
    const QString& source = Jobs[CurrentIndex].File;
    // A double quote would close the quoted path early and the rest of the name would be read as
    // options: the probe itself could then write over another file.
    if (source.contains(QLatin1Char('"'))) {
        Refuse(source, QStringLiteral("error_badsource"));
        return;
    }
    // A named pipe or a device is no video file, and the probe of a pipe would wait for ever.
    const QFileInfo info(source);
    if (info.exists() && !info.isFile()) {
        Refuse(source, QStringLiteral("error_badsource"));
        return;
    }
    ShellRpk(ProbeCommand(source));
}

// An encode counts only when the encoder said so and its output is there.
void Batch::RecordEncodeResult()
{
    const bool succeeded = S && S->Succeeded() && FileExists(OutputFileName());
    if (succeeded)
        ++ConvertedCount;
    else
        FailedSources << Jobs[CurrentIndex].File;
}

void Batch::OnRunnerCompleted(const QString& res)
{
    if (ConversionPhase == Phase::Info) {
        if (!PrepareJob(res))
            return;
        ++CurrentIndex;
        if (!Jobs[CurrentIndex].File.isEmpty()) {
            ProbeCurrentSource();
        } else {
            if (!RoomForOutputs())
                return;
            CurrentIndex = 0;
            ConversionPhase = Phase::Conversion;
            StartEncoding();
        }
    } else if (ConversionPhase == Phase::Conversion) {
        RecordEncodeResult();
        ++CurrentIndex;
        StartEncoding();
    }
}

void Batch::Notify(const QString& key, int converted, int failed)
{
    if (!platform_.notifier)
        return;
    const QString text = FillIn(T(key), {QString::number(converted), QString::number(failed)});
    platform_.notifier->notify(text, T(QStringLiteral("notify_openfolder")), Destination);
}

bool Batch::RoomForOutputs()
{
    qint64 needed = 0;
    for (int row = 0; !Jobs[row].File.isEmpty(); ++row)
        needed += MaxOutputBytes(Jobs[row].pbarmax);
    const std::optional<qint64> free = platform_.system->freeBytes(Destination);
    if (!free || needed <= *free)
        return true;
    constexpr qint64 MB = 1024 * 1024;
    const QString question = FillIn(T(QStringLiteral("cmdConvert_nospace")),
                                    {QString::number((needed + MB - 1) / MB), QString::number(*free / MB)});
    if (platform_.messages->askYesNo(question))
        return true;
    ReturnToIdle();
    view_.ShowCancelled();
    return false;
}

void Batch::StartEncoding()
{
    for (; !Jobs[CurrentIndex].File.isEmpty(); ++CurrentIndex) {
        const Job& job = Jobs[CurrentIndex];
        ShowConverting();
        const int count = SourceCount();
        if (count > 1)
            view_.ShowJobCounter(CurrentIndex + 1, count);
        Progress.Maximum = static_cast<float>(job.pbarmax);
        view_.ShowProgressMaximum(Progress.Maximum);
        const QString folder = platform_.system->programFolder();
        // Without its own script the encoder would read whatever script was there before.
        if (Options.Subtitles == 1 && SubtitlesAvailable(folder, job.File)
            && !WriteSubtitleScript(folder, platform_.system->workingFolder(), job.File)) {
            FailedSources << job.File;
            continue;
        }
        ShellRpk(job.ffcmd);
        return;
    }
    const BatchSummary summary {Progress.ElapsedText, ConvertedCount, FailedSources};
    ReturnToIdle();
    view_.ShowFinished(summary);
    Notify(QStringLiteral("notify_done"), ConvertedCount, static_cast<int>(FailedSources.size()));
    if (!FailedSources.isEmpty()) {
        const QString failed = T(QStringLiteral("error_encodefailed"));
        QStringList lines;
        for (const QString& source : FailedSources)
            lines << source + QStringLiteral(":\n") + failed;
        platform_.messages->showOk(lines.join(QStringLiteral("\n\n")));
    }
    // Nothing to put on the phone when every encode failed.
    if (Options.ShowPutiPhone == 1 && ConvertedCount > 0)
        links_.OpenPutOnIPhonePage();
}

void Batch::ShowConverting()
{
    // The elapsed time counts from this moment: every job of a batch starts again at zero.
    Progress.ElapsedSeconds = 0;
    Timer->start();
    view_.ShowConverting();
}

void Batch::RequestCancel()
{
    // Nothing runs, so there is nothing to stop (a stray click or key on the hidden button).
    if (!IsRunning())
        return;
    view_.AskToCancel();
}

void Batch::ConfirmCancel()
{
    // Cleared first, so a completion caused by the stop is ignored.
    ConversionPhase = Phase::Idle;
    StopRunner();
    ReturnToIdle();
    view_.ShowCancelled();
    view_.CancelAnswered(true, CloseAfterCancel == 1);
}

void Batch::DeclineCancel()
{
    CloseAfterCancel = 0;
    view_.CancelAnswered(false, false);
}

bool Batch::QueryUnload()
{
    if (IsRunning()) {
        CloseAfterCancel = 1;
        RequestCancel();
        return false;
    }
    return true;
}

void Batch::ShellRpk(const QString& cmd)
{
    S = RunnerRef(platform_.createRunner().release());
    auto showError = [this](const ::ShellRpk::RunError& e) {
        platform_.messages->showOk(e.description + QStringLiteral(" - ") + e.source + QStringLiteral(" - ")
                                   + QString::number(e.number));
    };
    connect(S.get(), &::ShellRpk::Output, this, &Batch::HandleEncoderOutput);
    connect(S.get(), &::ShellRpk::Completed, this, &Batch::OnRunnerCompleted);
    connect(S.get(), &::ShellRpk::StartFailed, this, showError);
    if (const auto error = S->Run(cmd))
        showError(*error);
}

void Batch::StopRunner()
{
    if (S)
        S->Stop();
    S.reset();
}

void Batch::ReturnToIdle()
{
    ConversionPhase = Phase::Idle;
    // A job without a known duration left the bar busy; the idle bar must look still.
    if (!(Progress.Maximum > 0))
        Progress.Maximum = 100;
    Progress.ElapsedSeconds = 0;
    Progress.ElapsedText = QStringLiteral("00:00:00");
    Timer->stop();
}

QString Batch::OutputFileName() const
{
    return OutputFileNameOf(CurrentIndex);
}

QString Batch::OutputFileNameOf(int row) const
{
    return OutputPath(Destination, Jobs[row].File);
}
