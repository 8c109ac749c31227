#include "ConsoleView.h"

#include "conversion/OutcomeText.h"
#include "desktop/Terminal.h"

#include <QFileInfo>
#include <cstdio>

ConsoleView::ConsoleView(const Localisation& lang, ProgressStyle style, QChar decimalSeparator)
    : lang_(lang)
    , style_(style)
    , decimalSeparator_(decimalSeparator)
{
}

QString ConsoleView::T(const QString& key) const
{
    return Translate(lang_, key).trimmed();
}

void ConsoleView::Print(const QString& text)
{
    EndLine();
    std::fputs((text + QLatin1Char('\n')).toLocal8Bit().constData(), stdout);
    std::fflush(stdout);
}

void ConsoleView::EndLine()
{
    if (!lineOpen_)
        return;
    lineOpen_ = false;
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void ConsoleView::ShowConverting()
{
    // Called when the batch starts and again when each file's encode starts; the file starts with its maximum.
}

void ConsoleView::ShowJobCounter(int job, int count)
{
    counter_ = QStringLiteral("(%1/%2)").arg(job).arg(count);
}

void ConsoleView::ShowProgressMaximum(double) { }

void ConsoleView::ShowJob(int, const Job& job)
{
    const JobState state = job.outcome.state;
    if (state == JobState::Converting) {
        source_ = job.File;
        percent_ = QStringLiteral("0%");
        elapsed_ = remaining_ = QStringLiteral("00:00:00");
        if (style_ == ProgressStyle::Lines)
            Print(T(QStringLiteral("cmdConvert_ing")) + QLatin1Char(' ') + counter_ + (counter_.isEmpty() ? "" : " ")
                  + source_);
        Redraw();
        return;
    }
    if (!job.outcome.IsFinal() || style_ == ProgressStyle::Quiet) {
        source_.clear();
        return;
    }
    // On a terminal the file's progress line stays as it ended, and only a file that was not simply converted
    // gets a line: a copy is said there too, it is why the file took seconds.
    const bool said = style_ == ProgressStyle::Lines || state != JobState::Converted || job.outcome.copied;
    if (job.File == source_)
        Redraw();
    source_.clear();
    if (said)
        Print(OutcomeLine(lang_, job, decimalSeparator_));
    else
        EndLine();
}

void ConsoleView::ShowProgress(const ProgressDisplay& progress)
{
    if (progress.percent)
        percent_ = *progress.percent;
    if (progress.remaining)
        remaining_ = *progress.remaining;
    Redraw();
}

void ConsoleView::ShowElapsed(const QString& text)
{
    elapsed_ = text;
    Redraw();
}

void ConsoleView::ShowFinished(const BatchSummary& summary)
{
    EndLine();
    finished_ = true;
    converted_ = summary.Converted();
    failed_ = static_cast<int>(summary.Failed().size());
    Print(FillIn(T(QStringLiteral("notify_done")), {QString::number(converted_), QString::number(failed_)}));
    if (onEnd)
        onEnd();
}

void ConsoleView::ShowCancelled()
{
    EndLine();
    source_.clear();
    cancelled_ = true;
    std::fputs((T(QStringLiteral("cmdCancel_ed")) + QLatin1Char('\n')).toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
    if (onEnd)
        onEnd();
}

void ConsoleView::AskToCancel() { }

void ConsoleView::CancelAnswered(bool, bool) { }

QString ConsoleView::ProgressLine(int columns) const
{
    const QString rest = QStringLiteral("  ") + percent_ + QStringLiteral("  ") + T(QStringLiteral("lblTimeElapsed"))
        + QLatin1Char(' ') + elapsed_ + QStringLiteral("  ") + T(QStringLiteral("lblTimeRemaining")) + QLatin1Char(' ')
        + remaining_;
    const QString head = counter_.isEmpty() ? QString() : counter_ + QLatin1Char(' ');
    QString name = QFileInfo(source_).fileName();
    // A long name gives way first, keeping its start and its end; the numbers always fit.
    const int room = columns - 1 - static_cast<int>(head.size() + rest.size());
    if (name.size() > room) {
        const int keep = std::max(0, room - 1);
        name = keep < 2 ? QString() : name.left(keep - keep / 2) + QChar(0x2026) + name.right(keep / 2);
    }
    return (head + name + rest).left(std::max(0, columns - 1));
}

void ConsoleView::Redraw()
{
    if (style_ != ProgressStyle::Terminal || source_.isEmpty())
        return;
    const QString line = QLatin1Char('\r') + ProgressLine(Terminal::OutputColumns()) + QStringLiteral("\x1b[K");
    std::fputs(line.toLocal8Bit().constData(), stdout);
    std::fflush(stdout);
    lineOpen_ = true;
}
