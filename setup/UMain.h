// The program entry: switches and run modes.
#pragma once

#include <string>
#include <vector>

struct TSwitchFlags {
    bool CopyOnly = false;
    bool EnableControls = false;
    bool ShowHelp = false;
    bool ExtractFiles = false;
};

// The switch rules applied to arguments 1..n: the last accepted argument decides.
TSwitchFlags ParseArguments(const std::vector<std::wstring>& Args);

// Sets the four process-wide flags from the process's own command line.
void ParseCommandLine();

// Extract mode: every directory and file row of the script below the current directory.
void ExtractAll();

extern const wchar_t* const HelpCaption;
extern const wchar_t* const HelpText;

// The whole program for the flags already parsed; returns the exit status.
int RunSetup();
