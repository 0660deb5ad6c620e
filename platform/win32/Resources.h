#pragma once

// Resource numbers of fairholm.exe.
#define IDS_TITLE 1
#define IDS_CLASS 2
#define IDI_FAIRHOLM 101
#define IDR_ACCELERATORS 2
#define IDM_ACCEL_A 40002
#define IDM_ACCEL_Q 40000
