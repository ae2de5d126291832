#pragma once
// The production answer to a StartProgram request of the interaction service: Data "Folder",
// "Program" and "Parameters"; the program runs while the window repaints (user input is held
// back until it ends) and the answer's Result is its exit code, or -1 when it did not start.
#include "platform/vcl/Interaction.h"

TAskAnswer RunProgramRequest(TAskRequest& request);
// Serves StartProgram requests with RunProgramRequest in the production service (once).
void RegisterRunProgram();
