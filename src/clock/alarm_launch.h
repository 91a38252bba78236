#pragma once

#include <string>

#include "platform/launcher.h"
#include "platform/prompts.h"
#include "setup/internet_setup_actions.h"
#include "setup/launch_rules.h"

namespace tolvenmark {

// A window timer as the launch uses it (TForm1's Timer2 and Timer3).
class LaunchTimer {
public:
    virtual ~LaunchTimer() = default;
    // A changed interval starts a running timer's count again; the same one does not.
    virtual void SetInterval(int ms) = 0;
    virtual int Interval() const = 0;
    // Switching on a running timer changes nothing.
    virtual void SetEnabled(bool on) = 0;
    virtual bool Enabled() const = 0;
};

// What the launch needs of the main window.
class LaunchHost {
public:
    virtual ~LaunchHost() = default;
    virtual LaunchTimer& Timer2() = 0;  // snooze
    virtual LaunchTimer& Timer3() = 0;  // launch delay
    virtual InternetSetupActions& InternetSetup() = 0;
    virtual void Beep() = 0;
    virtual void BringToFront() = 0;
    virtual void UpdateAlarm() = 0;  // the succession step with the window's pending alarm
    // The started player rings (true), or no longer: snoozed, stopped or ended by itself.
    virtual void Ringing(bool /*on*/) {}
};

// Set-up, launch and snooze of the pending alarm. The window forwards its
// timers' events here and calls SetupAlarm when the tick finds the alarm due.
class AlarmLaunch {
public:
    AlarmLaunch(LaunchHost& host, Launcher& launcher, Prompts& prompts, LaunchLookups lookups);

    void SetupAlarm();   // the tick's due alarm
    void Timer3Timer();  // the launch delay ran out
    void Timer2Timer();  // the snooze ran out
    void LaunchAlarm();
    void Snooze();       // SNOOZE hot area and tray
    // The text of the box Snooze would show instead of snoozing, else empty.
    std::string SnoozeRefusal();
    // The alarm switched off: no snoozed alarm comes back, and the player
    // the clock started stops as at a snooze.
    void Stop();
    // Whether the started player (or anything it started) still plays; one
    // that ended by itself no longer counts as started. The tick asks it
    // every second.
    bool PlayerRunning();
    // The alarm's player or any other sound the clock started (Test Alarm):
    // what --status calls a running player.
    bool AnyPlayerRunning();
    // After the launcher saw a launch end: says so when the alarm's player
    // ended with an error at once, so the alarm was not heard.
    void CheckPlayer();

    bool PlayerStarted() const { return playerStarted_; }
    ProcessHandle Player() const { return player_; }
    const LaunchSettings& Settings() const { return settings_; }

private:
    void Setup(bool relaunch);
    bool Connected();
    void LaunchMedia();
    void LaunchMessage();
    void StopPlayer();

    LaunchHost& host_;
    Launcher& launcher_;
    Prompts& prompts_;
    LaunchLookups lookups_;
    LaunchSettings settings_;
    ProcessHandle player_;
    bool playerStarted_ = false;
    bool unplayed_ = false;  // the player ended with an error at once, not yet said
    std::string unplayedOutput_;
    // The pending launch repeats a snoozed alarm: the succession already ran
    // after its first launch and must not take the next alarm away unheard.
    bool relaunch_ = false;
};

inline constexpr const char* kNoPlayerSelected = "No Media Player is selected in Alarm Settings.";
inline constexpr const char* kAlarmNotPlayed = "The alarm could not be played.";

}  // namespace tolvenmark
