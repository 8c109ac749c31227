#pragma once

#include <string>

// The file ffmpeg writes into: hidden, beside the output, named so that it never carries the output's name
// (".clip.mp4.partial-Ab12Cd"). It becomes the output only through Commit; otherwise it is removed.
class TempOutput
{
public:
    TempOutput() = default;
    TempOutput(const TempOutput&) = delete;
    TempOutput& operator=(const TempOutput&) = delete;
    ~TempOutput();

    // Creates the file beside `output`; on failure returns false with the reason in `why`.
    bool Create(const std::string& output, std::string& why);
    // Renames the file over the output.
    bool Commit(std::string& why);
    void Discard();

    const std::string& path() const { return path_; }

private:
    std::string path_;
    std::string output_;
};
