#pragma once

#include <QString>

class Form1;

int OpenUrl(Form1& f, const QString& url, int showCommand);
// The site's page in French when the current language is French, else in English.
QString PageUrl(const Form1& f, const QString& frenchPath, const QString& englishPath);
void OpenSubtitlesHelpPage(Form1& f);
void OpenContactPage(Form1& f);
void OpenDonatePage(Form1& f);
void OpenDownloadPageAndQuit(Form1& f);
void OpenPutOnIPhonePage(Form1& f);
