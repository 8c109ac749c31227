#pragma once

#include "conversion/BatchView.h"
#include "localisation/Language.h"

#include <QChar>
#include <functional>

// How a run shows its progress: one line rewritten in place on a terminal, a line per file start and end
// otherwise, nothing but failures and the summary when quiet.
enum class ProgressStyle { Terminal, Lines, Quiet };

// A batch's progress on standard output, and each file's result with its reason. Messages (the end-of-batch
// list, refusals) reach standard error through the batch's message boxes, not through this view.
class ConsoleView : public BatchView
{
public:
    ConsoleView(const Localisation& lang, ProgressStyle style, QChar decimalSeparator);
    // Called once the batch has finished or was cancelled.
    std::function<void()> onEnd;

    void ShowConverting() override;
    void ShowJobCounter(int job, int count) override;
    void ShowProgressMaximum(double seconds) override;
    void ShowProgress(const ProgressDisplay& progress) override;
    void ShowElapsed(const QString& text) override;
    void ShowJob(int index, const Job& job) override;
    void ShowFinished(const BatchSummary& summary) override;
    void ShowCancelled() override;
    void AskToCancel() override;
    void CancelAnswered(bool confirmed, bool closeWindow) override;

    // Ends a progress line that is being rewritten, so the next text starts on a line of its own.
    void EndLine();
    // The progress line as the terminal shows it, at most `columns` characters.
    QString ProgressLine(int columns) const;

    bool finished() const { return finished_; }
    bool cancelled() const { return cancelled_; }
    int converted() const { return converted_; }
    int failed() const { return failed_; }

private:
    QString T(const QString& key) const;
    void Print(const QString& text);
    void Redraw();

    const Localisation& lang_;
    ProgressStyle style_;
    QChar decimalSeparator_;
    QString source_; // the file being encoded; empty between files
    QString counter_; // "(2/5)" in a batch of several files
    QString percent_ = QStringLiteral("0%");
    QString elapsed_ = QStringLiteral("00:00:00");
    QString remaining_ = QStringLiteral("00:00:00");
    bool lineOpen_ = false;
    bool finished_ = false;
    bool cancelled_ = false;
    int converted_ = 0;
    int failed_ = 0;
};
