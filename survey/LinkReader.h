// The program started as a link reader: the survey's helper process, which
// alone runs the shell link service on the links that a survey finds.
#pragma once
#include <windows.h>

// True when the command line starts a reader; *progress is then the handle of
// the progress word that the survey shares with it.
bool IsLinkReaderStart(const WCHAR* commandLine, HANDLE* progress);

// Reads the batches that come on standard input and answers on standard
// output until the survey closes the pipe. Returns the exit code.
int RunLinkReader(HANDLE progress);
