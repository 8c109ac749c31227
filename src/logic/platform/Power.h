#pragma once

#include <QString>
#include <memory>
#include <optional>

// Keeps the machine awake for as long as it lives.
class SleepLock
{
public:
    virtual ~SleepLock() = default;
};

enum class PowerAction { Suspend, PowerOff };

// The machine's sleep and power as the system offers them to the user's programs.
class Power
{
public:
    virtual ~Power() = default;
    // A lock that keeps the machine from sleeping, on its own or after idling, until it is destroyed; nullptr
    // when none can be had. The system shows `who` and `why` to whoever asks what keeps it awake.
    virtual std::unique_ptr<SleepLock> KeepAwake(const QString& who, const QString& why) = 0;
    // Asks whether the action is allowed, then starts it: nullopt once it has started, else the refusal in
    // the system's words.
    virtual std::optional<QString> Perform(PowerAction action) = 0;
};
