#pragma once

#include <functional>
#include <initializer_list>
#include <stdexcept>
#include <string>

namespace aaxhost
{
/** What stopped a command when the user interrupted it: the signal's number. Thrown at the next
    point where stopping is safe (between blocks, between turns of the editor's run loop). */
class Interrupted : public std::runtime_error
{
public:
    explicit Interrupted(int signalNumber);
    int Signal() const { return mSignal; }

private:
    int mSignal;
};

/** How a command takes SIGINT, SIGTERM, SIGHUP and SIGQUIT.

    A signal that the caller set to be ignored (nohup, a background job of a script) stays
    ignored. Otherwise the signal is only noted (the handler does nothing that is not
    async-signal-safe): the command stops at its next safe point, unwinds (so every temporary
    file goes and the module is shut down as after any failure) and exits with 128 + the
    signal's number. A system call the main thread is blocked in (a read from a pipe, a write to
    one) returns EINTR, so a command waiting for input or for room stops too.

    One signal is enough: a command that has not stopped within the grace Install() was given
    (one stuck where no safe point comes: a plug-in that hangs, an X server that does not
    answer) is ended from the handler of an alarm, after it removed the temporary files
    registered here, with 128 + the signal's number and a line saying so.

    A command's outcome is decided once, in Commit(): a signal noted before it leaves the target
    as it was; one noted after it no longer interrupts anything (Pending() is 0 from then on), so
    a command that goes on to its end succeeds. One held up after the decision (its report
    blocked on a full pipe) is still ended by the grace or a second signal, and the line then
    says that the output was written.

    Without Install() (the tests' own process) nothing is noted and Requested() stays 0. */
class Interruption
{
public:
    static constexpr unsigned kGraceSeconds = 3;

    /** Installs the handlers; the calling thread is the one that notices (the main thread).
        Once, at program start. */
    static void Install(unsigned graceSeconds = kGraceSeconds);

    /** The signal noted so far; 0 for none. Any thread; async-signal-safe. */
    static int Requested() noexcept;

    /** The signal noted so far while it still stops the command: 0 for none, and 0 once the
        command's outcome was decided by Commit(). Any thread; async-signal-safe. */
    static int Pending() noexcept;

    /** Throws Interrupted when a signal is pending. */
    static void ThrowIfRequested();

    /** Runs `act` (the step that makes a result visible: a rename, a close) with the signals held
        on the calling thread, unless a signal is already pending, which throws Interrupted and
        leaves `act` undone. When `act` returns true, the command's outcome is decided: later
        signals end nothing. Returns what `act` returned. Main thread. */
    static bool Commit(const std::function<bool()>& act);

    /** "SIGINT" and the like. */
    static std::string SignalName(int signalNumber);

    /** Ends the process at once from anywhere, a signal handler or a library's fatal-error
        callback included: removes the registered temporary files, writes the `line`'s parts in
        order (a whole line, the last ending in a newline; null parts are left out) to standard
        error, and exits with `exitCode`. Async-signal-safe. */
    [[noreturn]] static void Abandon(int exitCode, std::initializer_list<const char*> line) noexcept;

    /** A temporary file that Abandon() removes. Returns a slot (-1 when the path is too long or
        every slot is taken; the file is then removed only by the unwinding). */
    static int RegisterTemporary(const std::string& path) noexcept;
    static void UnregisterTemporary(int slot) noexcept;
};
} // namespace aaxhost
