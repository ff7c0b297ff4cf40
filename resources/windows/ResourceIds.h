// Ids of the resources that the Windows programs carry, shared by their
// resource scripts and their code.
#pragma once

// The application icon: the first icon, so the shell shows it for the file.
#define IDI_QUORVEX 1
