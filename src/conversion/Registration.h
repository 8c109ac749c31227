#pragma once

class Form1;

// Registers the timer component; false when it cannot be found or registered.
bool RegisterTimerLite(Form1& f);
