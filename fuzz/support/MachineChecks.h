// Checks on the simulated machine after each input.
#pragma once

// Everything the code acquired was released, and nothing was released that was not held.
void RequireMachineClean();
