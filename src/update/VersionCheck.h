#pragma once

#include <QString>

class Form1;

void StartVersionCheck(Form1& f, const QString& url);
void Winsock1_Connect(Form1& f);
void Winsock1_DataArrival(Form1& f);
void Winsock1_Error(Form1& f);
void timerCheckVersion_Timer(Form1& f);
void EvaluateVersionReply(Form1& f);
// The check URL for this program's version, with the user's decimal separator.
QString VersionCheckUrl(const QString& siteBaseUrl, QChar decimalSeparator);
