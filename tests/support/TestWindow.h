#pragma once

#include "FakePlatform.h"
#include "TestPaths.h"
#include "conversion/Batch.h"
#include "window/Form1.h"

#include <QApplication>
#include <memory>

// A configured product web site for start-up; the fake TCP client never connects to it.
inline const QString TestSite = QStringLiteral("http://site.test/");

// A QApplication for the whole test executable, offscreen.
QApplication& TestApp();

// The real main window over fake platform services, with the program's own language file loaded
// and the idle look applied, but without running start-up.
struct TestWindow
{
    explicit TestWindow(const QString& language = QStringLiteral("English"));
    FakePlatform fake;
    std::unique_ptr<Form1> form;
    Form1& f() { return *form; }
    // The text of a key in the window's current language.
    QString t(const QString& key) const { return T(*form, key); }
    Batch& batch() { return *form->batch; }
    // What pressing Convert does.
    void startConversion();
    // Appends items to the source list.
    void addSources(const QStringList& paths);
};
