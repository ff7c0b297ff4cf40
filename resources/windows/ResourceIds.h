// Ids of the resources that the Windows programs carry, shared by their
// resource scripts and their code.
#pragma once

// The application icon: the first icon, so the shell shows it for the file.
#define IDI_QUORVEX 1

// The windows' artwork (resources/artwork): the logo, the donate picture and
// the dropper's pipette, as 32-bit icons of their own sizes.
#define IDI_LOGO 101
#define IDI_DONATE 102
#define IDI_DROPPER 103
