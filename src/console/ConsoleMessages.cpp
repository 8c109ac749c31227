#include "ConsoleMessages.h"

#include "desktop/Terminal.h"

#include <cstdio>

namespace {
void PrintError(const QString& text)
{
    std::fputs((text + QLatin1Char('\n')).toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
}

// "&Yes" is the caption of a button; the access key's marker is no part of the word.
QString Plain(QString caption)
{
    return caption.remove(QLatin1Char('&')).trimmed();
}
} // namespace

ConsoleMessages::ConsoleMessages(const Localisation& lang, Answers answers, bool terminal)
    : lang_(lang)
    , answers_(answers)
    , terminal_(terminal)
{
}

void ConsoleMessages::showOk(const QString& text)
{
    if (beforeMessage)
        beforeMessage();
    PrintError(text);
}

bool ConsoleMessages::askYesNo(const QString& text)
{
    if (beforeMessage)
        beforeMessage();
    const QString yes = Plain(Translate(lang_, QStringLiteral("cmdYes")));
    const QString no = Plain(Translate(lang_, QStringLiteral("cmdNo")));
    const QString question = text + QStringLiteral(" [") + yes + QLatin1Char('/') + no + QStringLiteral("] ");
    if (answers_ != Answers::Ask || !terminal_) {
        // The question and the answer given for the user, so a log shows what was decided.
        const bool answer = answers_ == Answers::Yes;
        PrintError(question + (answer ? yes : no));
        return answer;
    }
    std::fputs(question.toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
    const std::optional<QString> answer = Terminal::ReadLine();
    if (!answer)
        std::fputc('\n', stderr);
    return answer && IsYes(*answer, yes);
}

bool IsYes(const QString& answer, const QString& localYes)
{
    const QString a = answer.trimmed();
    if (a.isEmpty())
        return false;
    return a.compare(QLatin1String("y"), Qt::CaseInsensitive) == 0
        || a.compare(QLatin1String("yes"), Qt::CaseInsensitive) == 0 || a.compare(localYes, Qt::CaseInsensitive) == 0
        || (a.size() == 1 && a.compare(localYes.left(1), Qt::CaseInsensitive) == 0);
}
