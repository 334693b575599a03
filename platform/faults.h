// Faults that tests can inject into the machine, so that they can show what
// the program does when a call of the platform fails. Every switch is off
// unless a test arms it; start_machine disarms them all.
#ifndef QUORIX_PLATFORM_FAULTS_H
#define QUORIX_PLATFORM_FAULTS_H

namespace platform {

// Fails a call after a number of calls have succeeded.
class Fault {
public:
    // The next `successes` calls succeed and the one after fails; with
    // `sticky` every call after that fails too.
    void arm(int successes = 0, bool sticky = false)
    {
        countdown_ = successes;
        sticky_ = sticky;
        fired_ = false;
    }
    void disarm() { *this = Fault{}; }
    // True when this call is to fail.
    bool fire()
    {
        if (fired_ && sticky_) return true;
        if (countdown_ < 0) return false;
        if (countdown_ > 0) {
            --countdown_;
            return false;
        }
        fired_ = true;
        countdown_ = -1;
        return true;
    }
    bool fired() const { return fired_; }

private:
    int countdown_ = -1;   // -1: disarmed
    bool sticky_ = false;
    bool fired_ = false;
};

struct Faults {
    Fault get_dc;          // GetDC and BeginPaint get no device context
    Fault text_metrics;    // GetTextMetricsA fails
    Fault global_alloc;    // GlobalAlloc finds no memory
    // The process is killed halfway through replacing a file atomically (the
    // registry, a program group): the temporary file holds half the new text.
    Fault killed_while_writing;
    // The file layer (platform/files/host_io.h). Each switch counts the calls
    // it can fail, so a test can walk N upwards until the operation completes.
    Fault file_read;       // a read from a file fails as a bad sector does (EIO)
    Fault file_write;      // a write to a file fails as a failing disk does (EIO)
    Fault disk_full;       // a write or a new directory finds the disk full (ENOSPC)
    Fault access_denied;   // opening, creating or deleting a file, or making a directory, is refused (EACCES)
    Fault drive_lost;      // the drive goes away (a pulled disk): opening, creating or making finds no path
};

Faults& faults();

}  // namespace platform

#endif
