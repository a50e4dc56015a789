#pragma once

class SingleApp;

// The installer's start: refusals, the reinstall question, the window. Returns the exit code.
int runInstaller(SingleApp &app);
