#include "BatchSummary.h"

#include <algorithm>

int BatchSummary::Converted() const
{
    return static_cast<int>(ConvertedSources().size());
}

int BatchSummary::Skipped() const
{
    return static_cast<int>(
        std::count_if(jobs.begin(), jobs.end(), [](const Job& job) { return job.outcome.state == JobState::Skipped; }));
}

QStringList BatchSummary::ConvertedSources() const
{
    QStringList sources;
    for (const Job& job : jobs) {
        if (job.outcome.IsConverted())
            sources << job.File;
    }
    return sources;
}

std::vector<Job> BatchSummary::Failed() const
{
    std::vector<Job> failed;
    for (const Job& job : jobs) {
        if (job.outcome.state == JobState::Failed)
            failed.push_back(job);
    }
    return failed;
}

QStringList BatchSummary::FailedSources() const
{
    QStringList sources;
    for (const Job& job : Failed())
        sources << job.File;
    return sources;
}

QStringList BatchSummary::SubtitlesLeftOut() const
{
    QStringList files;
    for (const Job& job : jobs)
        files << job.outcome.subtitlesLeftOut;
    return files;
}
