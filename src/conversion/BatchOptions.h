#pragma once

// What the user chose for a batch.
struct BatchOptions
{
    // Ask before an existing output is replaced; without the question the encoder replaces it.
    bool askBeforeOverwrite = true;
    // Burn in the subtitles found beside a source.
    bool burnInSubtitles = false;
    // After a batch that converted something, the page on putting a video on the phone is due.
    bool showHowToPage = true;
};
