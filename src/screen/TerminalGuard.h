// Keeps the player's terminal safe around a curses session: its modes are remembered before curses
// starts and put back however the program ends, fatal signals included.
#pragma once

#include <string>

// Remembers the modes of the terminal on `fd` and the signals' dispositions, and turns software
// flow control off, so that Ctrl-S and Ctrl-Q reach the game as keys instead of freezing the
// display. Call before curses starts, so that curses takes these modes as the ones to return to.
void rememberTerminal(int fd);

// Once curses has started: `leaveText` is what undoes its changes to the display (attributes,
// cursor, keypad, alternate screen). From now on every fatal signal writes it, puts the remembered
// modes back and ends the program by the same signal.
void guardTerminal(const std::string& leaveText);

// What the player should read once a hang-up, Ctrl-C or a termination signal has ended the program
// and the terminal is back (how to come back, say); written to standard error as it stands, "" for
// nothing. Takes effect at once, whether or not the terminal is guarded yet.
void noteOnLeaving(const std::string& note);

// After curses has ended (or failed to start): the signals get their default actions back and the
// remembered modes are put back. Does nothing when no terminal was remembered.
void releaseTerminal();
