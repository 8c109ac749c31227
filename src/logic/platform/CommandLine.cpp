#include "CommandLine.h"

QStringList SplitCommandLine(const QString& commandLine)
{
    QStringList parts;
    QString current;
    bool inQuotes = false;
    bool haveToken = false;
    for (const QChar c : commandLine) {
        if (c == QLatin1Char('"')) {
            inQuotes = !inQuotes;
            haveToken = true; // "" is an empty argument
        } else if ((c == QLatin1Char(' ') || c == QLatin1Char('\t')) && !inQuotes) {
            if (haveToken)
                parts << current;
            current.clear();
            haveToken = false;
        } else {
            current += c;
            haveToken = true;
        }
    }
    if (haveToken)
        parts << current;
    return parts;
}
