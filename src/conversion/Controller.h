#pragma once

#include <QString>

class Form1;

// The batch: probe every source in list order, then encode them one after another.
void StartConversion(Form1& f);
// "ok", or the message key "error_badDestination".
QString CheckDestination(Form1& f);
void ProbeCurrentSource(Form1& f);
void OnRunnerCompleted(Form1& f, const QString& res);
void StartEncoding(Form1& f);

// Cancel: the modeless question, then Yes (ConfirmCancel) or No (DeclineCancel).
void RequestCancel(Form1& f);
void ConfirmCancel(Form1& f);
void DeclineCancel(Form1& f);
// The close rule: false turns the close request into a cancel request.
bool QueryUnload(Form1& f);
