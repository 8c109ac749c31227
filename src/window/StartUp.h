#pragma once

#include <QString>

class Form1;

// Runs once before the window is shown. False when the program cannot start (the user has been told).
bool StartUp(Form1& f);
// The same with another product web site than the build's.
bool StartUp(Form1& f, const QString& siteUrl);
void SaveOptions(Form1& f);
void SaveWindowState(Form1& f);
