#include "clock/alarm_launch.h"

#include "setup/media_types.h"

namespace tolvenmark {

AlarmLaunch::AlarmLaunch(LaunchHost& host, Launcher& launcher, Prompts& prompts, LaunchLookups lookups)
    : host_(host), launcher_(launcher), prompts_(prompts), lookups_(std::move(lookups)) {}

bool AlarmLaunch::Connected() { return host_.InternetSetup().ConnectState() == kConnectedState; }

void AlarmLaunch::SetupAlarm() { Setup(false); }

void AlarmLaunch::Timer2Timer() { Setup(true); }

void AlarmLaunch::Timer3Timer() { LaunchAlarm(); }

void AlarmLaunch::Setup(bool relaunch) {
    // A due alarm arriving while a relaunch waits is a launch of its own; a
    // relaunch arriving while a due launch waits joins it, or the succession
    // would never run for that alarm and the clock would stay on it.
    LaunchTimer& timer3 = host_.Timer3();
    const bool dueLaunchWaiting = timer3.Enabled() && !relaunch_;
    relaunch_ = relaunch && !dueLaunchWaiting;
    settings_ = ReadLaunchSettings(lookups_.config);
    const LaunchDelay delay = PlanLaunchDelay(settings_, Connected());
    timer3.SetInterval(delay.intervalMs);
    if (delay.dialFirst) {
        host_.InternetSetup().ShowSetup();
        host_.InternetSetup().TestConnection();
    }
    timer3.SetEnabled(true);
}

void AlarmLaunch::LaunchAlarm() {
    const bool relaunch = relaunch_;
    relaunch_ = false;
    if (LaunchGate(settings_, Connected()) == Gate::NoConnection) {
        host_.Timer3().SetEnabled(false);
        prompts_.Warning(kNoConnectionWarning);
    } else if (IsMessageType(settings_.mediaType)) {
        LaunchMessage();
    } else {
        LaunchMedia();
    }
    host_.Timer3().SetEnabled(false);
    if (!relaunch) host_.UpdateAlarm();
}

void AlarmLaunch::LaunchMedia() {
    host_.InternetSetup().HideSetup();
    if (host_.Timer2().Enabled()) host_.Timer2().SetEnabled(false);
    std::string argument = PlayerArgument(settings_, lookups_);
    PlayerCommand player = ResolvePlayer(settings_.player, argument, lookups_);
    GuardArgument(player, argument);
    if (!player.chosen) {
        host_.Timer3().SetEnabled(false);
        prompts_.Warning(kNoPlayerSelected);
        return;
    }
    // One sound at a time: an earlier alarm's player, or a test's, ends first.
    const bool wasRinging = playerStarted_;
    launcher_.StopAll();
    player_ = {};
    playerStarted_ = false;
    const ProcessHandle started = launcher_.Start(player.program, argument, player.options);
    if (!started) {
        if (wasRinging) host_.Ringing(false);
        host_.Timer3().SetEnabled(false);
        prompts_.Warning(kAlarmNotStarted);
        return;
    }
    player_ = started;
    playerStarted_ = true;
    unplayed_ = false;
    host_.Ringing(true);
}

void AlarmLaunch::LaunchMessage() {
    host_.Timer3().SetEnabled(false);
    if (settings_.mediaType == "Text Message") {
        host_.Beep();
        prompts_.PlainBox(settings_.alFile);
        host_.BringToFront();
    } else if (launcher_.RunCommandLine(settings_.alFile)) {
        prompts_.Information("Network message sent.");
    } else {
        prompts_.Warning(kAlarmNotStarted);
    }
}

void AlarmLaunch::Snooze() {
    const std::string snooze = lookups_.config.read("SNOOZE");
    const std::string snoozeMin = lookups_.config.read("SNOOZEMIN");
    const std::string player = lookups_.config.read("PLAYER");
    // Other sounds (Test Alarm) are no alarm to bring back: a snooze just ends them.
    PlayerRunning();
    const bool othersStopped = launcher_.StopAll(player_);
    if (snooze != "Yes") {
        if (!othersStopped || playerStarted_) prompts_.Information("The Snooze feature is not enabled in Alarm Settings.");
        return;
    }
    // A player that ended by itself has nothing left to snooze.
    if (!PlayerRunning()) {
        if (!othersStopped) prompts_.Information("No alarm was started to Snooze!");
        return;
    }
    if (lookups_.config.read("CLOSECONN") == "Yes" && Connected()) host_.InternetSetup().Disconnect();
    if (!player.empty() && PlayerIndex(player) < 0) {
        prompts_.Warning(kNoPlayerSelected);
        return;
    }
    StopPlayer();
    LaunchTimer& timer2 = host_.Timer2();
    timer2.SetInterval(SnoozeMinutes(snoozeMin) * 60000);
    timer2.SetEnabled(true);
}

std::string AlarmLaunch::SnoozeRefusal() {
    if (lookups_.config.read("SNOOZE") != "Yes") return "The Snooze feature is not enabled in Alarm Settings.";
    if (!PlayerRunning()) return "No alarm was started to Snooze!";
    return "";
}

void AlarmLaunch::Stop() {
    host_.Timer2().SetEnabled(false);
    // A snoozed alarm already on its one-second way back; a due launch stays.
    if (relaunch_ && host_.Timer3().Enabled()) {
        host_.Timer3().SetEnabled(false);
        relaunch_ = false;
    }
    if (PlayerRunning()) StopPlayer();
    launcher_.StopAll();
}

bool AlarmLaunch::PlayerRunning() {
    if (!playerStarted_) return false;
    const LaunchState state = launcher_.State(player_);
    if (state == LaunchState::Running) return true;
    if (state == LaunchState::Unplayed) {
        unplayed_ = true;
        unplayedOutput_ = launcher_.LastOutput(player_);
    }
    player_ = {};
    playerStarted_ = false;
    host_.Ringing(false);
    return false;
}

bool AlarmLaunch::AnyPlayerRunning() { return PlayerRunning() || launcher_.AnyAlive(); }

void AlarmLaunch::CheckPlayer() {
    PlayerRunning();
    if (!unplayed_) return;
    unplayed_ = false;
    // What the player said last tells the user why (no audio device, a broken file).
    prompts_.Warning(kAlarmNotPlayed + (unplayedOutput_.empty() ? "" : "\n\n" + unplayedOutput_));
}

void AlarmLaunch::StopPlayer() {
    launcher_.Stop(player_);
    player_ = {};
    playerStarted_ = false;
    host_.Ringing(false);
}

}  // namespace tolvenmark
