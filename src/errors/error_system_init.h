// The two init procedures that put the error system in place at start-up, in this order.
#pragma once

// Installs the default error block, unless an error block is set already.
void InstallDefaultErrorBlock();
// Makes DefErrorGen the runtime's error function, in the first module brought up only.
void RegisterErrorGen();
