#pragma once
// The steps of the main window's first showing: the start screen with the installation
// of the sample content, then the project named on the command line or, without one, the
// new-project window's first filling and a sample photo as its main image. Each step
// runs once per process, however often the main window is shown.

class AppContext;

struct FirstShowFlags {
    bool startScreenShown = false;
    bool initialContentLoaded = false;
    // The third flag, the pending project, is the main window's.
};

// Runs the steps that have not run yet. An installation failure is shown in a message
// box and start-up goes on.
void RunFirstShowSteps(AppContext& app, FirstShowFlags& flags);
