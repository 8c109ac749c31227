#pragma once

#include <string>

// Texts of the probe lines that the program reads back; no FFmpeg library needed.

// A duration in microseconds as the duration line shows it: "HH:MM:SS.cc". The hundredths are cut, not
// rounded: the program reads the whole seconds by dropping them, so 59.996 s must read as 59, never as 60.
std::string DurationText(long long microseconds);

// A start time in microseconds with six decimals: "0.000000", "-0.021333".
std::string StartText(long long microseconds);

// A frame rate in its shortest form with at most three decimals: "25", "29.97", "23.976".
std::string RateText(double rate);
