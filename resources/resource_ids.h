#pragma once

// Shared by the resource script and the program.
#define IDI_PELLUMAR 1
#define IDC_HANDPOINT 2
#define IDR_BACKGROUND 3
