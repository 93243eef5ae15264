#pragma once
// Identifiers of the program's own pictures in Brenvik.rc.

#define IDI_BRENVIK 1
#define IDB_MENU_CLOSE 101
#define IDB_MENU_OPEN 102
#define IDB_MENU_IMPORT 103
