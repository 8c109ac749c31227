#pragma once

#include "OutputFormat.h"

// What the user chose for a batch.
struct BatchOptions
{
    // Ask before an existing output is replaced; without the question the encoder replaces it.
    bool askBeforeOverwrite = true;
    // Burn in the subtitles found beside a source.
    bool burnInSubtitles = false;
    // After a batch that converted something, the page on putting a video on the phone is due.
    bool showHowToPage = true;
    // The classic output every iPhone plays, Full HD for the iPhone 5 and later, or 4K for the iPhone 8 on.
    OutputFormat format = OutputFormat::Classic;
    // A source whose output exists already is left alone, not asked about.
    bool skipExisting = false;
};
