#pragma once

class SystemFacts;

// Registers the timer component; false when it cannot be found or registered.
bool RegisterTimerLite(SystemFacts& system);
