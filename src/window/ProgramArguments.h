#pragma once

#include <QString>
#include <QStringList>

class Form1;

// Adds the command line's files to the list as a drop does, relative paths taken from `startFolder`;
// the ones that do not exist are left out and named in one message.
void AddArgumentFiles(Form1& f, const QStringList& files, const QString& startFolder);
