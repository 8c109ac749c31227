#pragma once

#include "encoder/common/Result.h"

#include <optional>
#include <string>

// The file ffmpeg writes into: hidden, beside the output, named so that it never carries the output's name
// and says whose it is (".clip.mp4.partial-<host>-<pid>-Ab12Cd"). It becomes the output only through
// Commit; otherwise it is removed, or, when the bridge was killed, by the next bridge writing to that folder.
// While it lives the bridge holds a lock on it, which tells its cleaners it is in use even where the pid
// cannot (a bridge in another sandbox, with pids of its own).
class TempOutput
{
public:
    TempOutput() = default;
    TempOutput(const TempOutput&) = delete;
    TempOutput& operator=(const TempOutput&) = delete;
    ~TempOutput();

    // Creates the file beside `output`.
    Result<void> Create(const std::string& output);
    enum class Committed { Done, NameTaken };
    // Renames the file onto the output. Unless `mayReplace`, a file that carries the output's name by then
    // is kept (NameTaken) and this one stays, to be discarded.
    Result<Committed> Commit(bool mayReplace);
    void Discard();

    const std::string& path() const { return path_; }

    // Removes the partial files in `folder` left by bridges of this host that are no longer running. Only
    // our own regular files named by the pattern above, and locked by nobody, are touched; returns how many
    // were removed.
    static int RemoveStale(const std::string& folder);

private:
    void Release();

    std::string path_;
    std::string output_;
    int lock_ = -1;
};

// How a file is moved onto a name that must not be replaced, from the best way down: rename with
// RENAME_NOREPLACE; a hard link and the old name's removal, where the file system has no such rename;
// a check just before a plain rename, where it has no hard links either.
enum class NoReplaceWay { Rename, Link, Check };

// Moves `from` to `to` unless `to` exists, trying the ways from `first` down. 0 when moved, else the errno
// (EEXIST: `to` exists and both files are as they were).
int MoveWithoutReplacing(const std::string& from, const std::string& to, NoReplaceWay first = NoReplaceWay::Rename);

// A short mark of this machine, so bridges on other machines writing to a shared folder are never taken
// for dead ones.
std::string HostMark();

// The pid that owns a partial file's name, when the name is one of ours made on the machine `host`.
std::optional<long> PartialOwner(const std::string& name, const std::string& host);
