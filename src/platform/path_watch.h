#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace tolvenmark {

// Waits, without asking again and again, until a file may have come at one of
// some paths (a bus daemon's socket): the nearest folder on the way to each
// that exists is watched for the next step being made or moved in, and for
// its own removal. A step is only a reason to look again: the folder may be
// one on the way, or the file come and go. One thread waits; Stop may come
// from any and ends every wait after it.
class PathWatch {
public:
    PathWatch();
    ~PathWatch();
    PathWatch(const PathWatch&) = delete;
    PathWatch& operator=(const PathWatch&) = delete;

    // Watches these paths instead of those before; false when a way cannot be
    // watched (no folder of it readable, no watches left): only the time then
    // ends the wait for it.
    bool Watch(const std::vector<std::string>& paths);

    enum class Woken { Step, Stopped, TimedOut };
    Woken Wait(std::chrono::milliseconds timeout);
    void Stop();

private:
    struct Watched {
        int wd;
        std::string name;  // the step awaited in that folder
    };
    bool Stepped();  // reads what the watches saw

    int inotify_ = -1;
    int stop_ = -1;
    std::vector<Watched> watched_;
    bool pending_ = false;
};

}  // namespace tolvenmark
