#pragma once

class Form1;

// Every caption in the current language, and the window back to its idle look.
void ApplyWindowTexts(Form1& f);
