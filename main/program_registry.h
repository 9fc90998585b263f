// The program's registrations in one place: the services Global makes on first use that live above
// the foundation, the status-bar rules, every screen the storyboard makes by identifier, and the
// rating prompt. main() calls it before the platform's application main; the tests call it to
// check that everything a screen asks for is there.
#pragma once

// Main thread, before the first screen or Global getter; later calls register the same again.
void registerProgram();
