#include "TextReading.h"

#include <QLocale>
#include <QStringList>

namespace {

bool PatternMatchesAt(const QString& text, qsizetype pos, const QString& pattern)
{
    if (pos < 0 || pos + pattern.size() > text.size())
        return false;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar p = pattern.at(i);
        const QChar c = text.at(pos + i);
        if (p == QLatin1Char('.') ? c == QLatin1Char('\n') : c != p)
            return false;
    }
    return true;
}

// A number part of the colon form: optional sign, digits with at most one '.', surrounded by blanks.
std::optional<double> StrictNumber(QString part)
{
    while (!part.isEmpty() && (part.front() == QLatin1Char(' ') || part.front() == QLatin1Char('\t')))
        part.remove(0, 1);
    while (!part.isEmpty() && (part.back() == QLatin1Char(' ') || part.back() == QLatin1Char('\t')))
        part.chop(1);
    qsizetype i = 0;
    if (i < part.size() && (part.at(i) == QLatin1Char('+') || part.at(i) == QLatin1Char('-')))
        ++i;
    bool digit = false;
    bool point = false;
    for (; i < part.size(); ++i) {
        const QChar c = part.at(i);
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            digit = true;
        } else if (c == QLatin1Char('.') && !point) {
            point = true;
        } else {
            return std::nullopt;
        }
    }
    if (!digit)
        return std::nullopt;
    return QLocale::c().toDouble(part);
}

} // namespace

QString ExtractBetween(const QString& text, const QString& startPattern, const QString& endPattern)
{
    const qsizetype n = text.size();
    const qsizetype startLen = startPattern.size();
    const qsizetype endLen = endPattern.size();

    // The capture cannot cross a line feed, so for a capture beginning at p the usable ends lie in
    // [p, next line feed]. The last end match of that line is computed once and serves every start on it.
    qsizetype lineEnd = -1; // position of the line feed (or n) closing the cached line
    qsizetype lastEnd = -1; // last end-match position on that line, -1 when none

    for (qsizetype s = 0; s + startLen + endLen <= n; ++s) {
        if (!PatternMatchesAt(text, s, startPattern))
            continue;
        const qsizetype p = s + startLen;
        if (p > lineEnd) {
            lineEnd = text.indexOf(QLatin1Char('\n'), p);
            if (lineEnd < 0)
                lineEnd = n;
            lastEnd = -1;
            for (qsizetype e = qMin(lineEnd, n - endLen); e >= p; --e) {
                if (PatternMatchesAt(text, e, endPattern)) {
                    lastEnd = e;
                    break;
                }
            }
        }
        if (lastEnd >= p)
            return text.mid(p, lastEnd - p);
        // No later start on this line can match either: jump to the start that captures from the next line.
        s = qMax(s, lineEnd - startLen);
    }
    return QStringLiteral("0");
}

std::optional<double> TimeToSeconds(const QString& text)
{
    if (text.contains(QLatin1Char(':'))) {
        const QStringList parts = text.split(QLatin1Char(':'));
        if (parts.size() < 3)
            return std::nullopt;
        const auto hours = StrictNumber(parts.at(0));
        const auto minutes = StrictNumber(parts.at(1));
        const auto seconds = StrictNumber(parts.at(2));
        if (!hours || !minutes || !seconds)
            return std::nullopt;
        return *hours * 3600 + *minutes * 60 + *seconds;
    }
    return LeadingNumber(text);
}

double LeadingNumber(const QString& text)
{
    QString number;
    bool point = false;
    for (const QChar c : text) {
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n'))
            continue;
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            number.append(c);
        } else if (c == QLatin1Char('.') && !point) {
            point = true;
            number.append(c);
        } else {
            break;
        }
    }
    if (number.isEmpty() || number == QLatin1String("."))
        return 0;
    return QLocale::c().toDouble(number);
}

QString PlainNumber(double value)
{
    if (value == 0)
        return QStringLiteral("0"); // also turns -0 into "0"
    return QString::number(value, 'f', QLocale::FloatingPointShortest);
}

QString UserNumber(double value, QChar decimalSeparator)
{
    QString text = PlainNumber(value);
    text.replace(QLatin1Char('.'), decimalSeparator);
    return text;
}
