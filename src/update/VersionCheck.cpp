#include "VersionCheck.h"

#include "window/Form1.h"

// STUB: replaced by the real version check.
void StartVersionCheck(Form1&, const QString&) {}
void Winsock1_Connect(Form1&) {}
void Winsock1_DataArrival(Form1&) {}
void Winsock1_Error(Form1&) {}
void timerCheckVersion_Timer(Form1&) {}
void EvaluateVersionReply(Form1&) {}
QString VersionCheckUrl(const QString& siteBaseUrl, QChar) { return siteBaseUrl; }
