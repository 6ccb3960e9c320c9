#pragma once

// Resource identifiers of svctune.exe.
#define IDI_SVCTUNE 1
#define IDB_TITLE 101
#define IDI_APPLY 102
#define IDI_PASSWORD 103
#define IDI_BLOG 104
#define IDI_OPERATIONS 105
#define IDI_HINT 106
