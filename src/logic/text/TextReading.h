#pragma once

#include <QString>
#include <optional>

// Reading values out of text another program printed (the encoder's probe and reports, the web site's
// reply), and writing numbers back in the same plain form.

// The text between startPattern and endPattern in the first match: the earliest start whose end pattern
// still matches later on the same line, captured up to the last such end on that line. "." in a pattern
// matches any character but a line feed; every other character matches itself. "0" when nothing matches.
QString ExtractBetween(const QString& text, const QString& startPattern, const QString& endPattern);

// "hh:mm:ss[.ff]" or a plain leading number, in seconds. nullopt when a colon form has fewer than three
// parts or a part that is not a number.
std::optional<double> TimeToSeconds(const QString& text);

// The leading decimal number of a text: blanks, tabs and line feeds are skipped wherever they occur,
// digits with at most one '.' are read, reading stops at any other character; 0 when there is none.
double LeadingNumber(const QString& text);

// Shortest plain decimal with '.' as the point; integral values have no point ("83", "29.97").
QString PlainNumber(double value);

// The same, written with the user's decimal separator ("65,5").
QString UserNumber(double value, QChar decimalSeparator);
