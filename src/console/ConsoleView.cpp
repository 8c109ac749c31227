#include "ConsoleView.h"

#include "desktop/Terminal.h"

#include <QFileInfo>
#include <cstdio>

ConsoleView::ConsoleView(const Localisation& lang, ProgressStyle style, std::function<QString()> currentSource,
                         std::function<int()> failedCount)
    : lang_(lang)
    , style_(style)
    , currentSource_(std::move(currentSource))
    , failedCount_(std::move(failedCount))
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

void ConsoleView::ShowProgressMaximum(double)
{
    EndJob();
    source_ = currentSource_();
    failedAtStart_ = failedCount_();
    copiedAtStart_ = copiedCount ? copiedCount() : 0;
    percent_ = QStringLiteral("0%");
    elapsed_ = remaining_ = QStringLiteral("00:00:00");
    if (style_ == ProgressStyle::Lines)
        Print(T(QStringLiteral("cmdConvert_ing")) + QLatin1Char(' ') + counter_ + (counter_.isEmpty() ? "" : " ")
              + source_);
    Redraw();
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

void ConsoleView::EndJob()
{
    if (source_.isEmpty())
        return;
    // A file that did not produce its output is among the batch's failures by now.
    const bool failed = failedCount_() > failedAtStart_;
    const bool copied = !failed && copiedCount && copiedCount() > copiedAtStart_;
    const QString key = failed ? QStringLiteral("console_failed")
        : copied               ? QStringLiteral("console_copied")
                               : QStringLiteral("console_converted");
    // On a terminal the file's progress line stays as it ended; the failures are listed at the end. A copy is
    // said there too: it is why the file took seconds.
    if (style_ == ProgressStyle::Lines || (style_ == ProgressStyle::Terminal && copied))
        Print(FillIn(T(key), {source_}));
    else
        EndLine();
    source_.clear();
}

void ConsoleView::ShowFinished(const BatchSummary& summary)
{
    if (style_ == ProgressStyle::Terminal)
        Redraw();
    EndJob();
    finished_ = true;
    converted_ = summary.converted;
    failed_ = static_cast<int>(summary.failedSources.size());
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
