#pragma once
// Ending the installer from any page: the message loop stops once the handler that asked
// for it returns, and a modal page open at that moment returns too.
namespace installer {

// Runs the application's message loop until Terminate() (or until its last window closes).
int RunMessageLoop();

void Terminate();
bool Terminated();
// Forgets an earlier Terminate() (each test starts with an installer that runs).
void ResetTermination();

}  // namespace installer
