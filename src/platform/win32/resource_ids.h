#pragma once
// Resource ids shared by moxia.rc and the code that loads them.
// The program icon has the lowest id: the file manager shows the first icon.
#define MOXIA_RES_APP_ICON 1
#define MOXIA_RES_ICONS_LARGE 101
#define MOXIA_RES_ICONS_SMALL 102
#define MOXIA_RES_ICONS_EXTRA_LARGE 103

// The version resource; the same number the version check reports.
#define MOXIA_VERSION_NUMBERS 2, 2020, 10, 24
#define MOXIA_VERSION_TEXT "2.2020.10.24"
