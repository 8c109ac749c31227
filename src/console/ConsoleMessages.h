#pragma once

#include "desktop/ConvertArguments.h"
#include "localisation/Language.h"
#include "platform/Platform.h"

#include <QTextStream>

// The batch's messages on standard error; its questions answered as the run was told (see Answers).
class ConsoleMessages : public MessageBoxes
{
public:
    // `terminal`: whether somebody can answer on standard input.
    ConsoleMessages(const Localisation& lang, Answers answers, bool terminal);
    void showOk(const QString& text) override;
    bool askYesNo(const QString& text) override;
    // Called before a message, so a progress line being rewritten is ended first.
    std::function<void()> beforeMessage;

private:
    const Localisation& lang_;
    Answers answers_;
    bool terminal_;
};

// Whether an answer typed on the terminal means yes: "y", "yes", or the language's own word for Yes.
bool IsYes(const QString& answer, const QString& localYes);
