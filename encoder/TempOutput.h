#pragma once

#include "Result.h"

#include <optional>
#include <string>

// The file ffmpeg writes into: hidden, beside the output, named so that it never carries the output's name
// and says whose it is (".clip.mp4.partial-<host>-<pid>-Ab12Cd"). It becomes the output only through
// Commit; otherwise it is removed, or, when the bridge was killed, by the next bridge writing to that folder.
class TempOutput
{
public:
    TempOutput() = default;
    TempOutput(const TempOutput&) = delete;
    TempOutput& operator=(const TempOutput&) = delete;
    ~TempOutput();

    // Creates the file beside `output`.
    Result<void> Create(const std::string& output);
    // Renames the file over the output.
    Result<void> Commit();
    void Discard();

    const std::string& path() const { return path_; }

    // Removes the partial files in `folder` left by bridges of this host that are no longer running. Only
    // our own regular files named by the pattern above are touched; returns how many were removed.
    static int RemoveStale(const std::string& folder);

private:
    std::string path_;
    std::string output_;
};

// A short mark of this machine, so bridges on other machines writing to a shared folder are never taken
// for dead ones.
std::string HostMark();

// The pid that owns a partial file's name, when the name is one of ours made on the machine `host`.
std::optional<long> PartialOwner(const std::string& name, const std::string& host);
