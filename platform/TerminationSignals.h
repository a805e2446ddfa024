#pragma once
// The requests to end the program that reach it as signals: SIGTERM (a logout, a shutdown,
// `kill`), SIGINT (Ctrl+C in its terminal) and SIGHUP (its terminal gone). Each is turned
// into one byte on a pipe, so that the event loop takes it like any other input and ends
// the program in its own time; the handler itself does nothing else.
namespace vandrel {

// Installs the handlers (once; later calls give the same pipe) and returns the pipe's read
// end, which never blocks. -1 when no pipe could be made: the signals then keep their
// default action.
int WatchTerminationSignals();

// Empties the pipe and returns the last signal read from it, 0 when none was waiting.
int TakeTerminationSignal(int fd);

}  // namespace vandrel
