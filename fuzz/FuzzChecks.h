#pragma once

#include <string>
#include <vector>

// One check per fuzz target: feeds the bytes to the code that reads untrusted text and returns the first
// property the result breaks, or "" when all hold. The fuzz targets abort on a broken property; the
// regression test replays every kept input through the same check in the normal build.
struct FuzzCheck
{
    const char* name; // the target's name and the folder of its corpus and regressions
    std::string (*check)(const std::string& bytes);
};

std::string CheckLanguage(const std::string& bytes);
std::string CheckProbeParse(const std::string& bytes);
std::string CheckProgressReport(const std::string& bytes);
std::string CheckVersionReply(const std::string& bytes);
std::string CheckCommandLine(const std::string& bytes);
std::string CheckBridgeArguments(const std::string& bytes);
std::string CheckAvsReader(const std::string& bytes);

const std::vector<FuzzCheck>& FuzzChecks();
