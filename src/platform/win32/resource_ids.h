#pragma once
// Resource ids shared by moxia.rc and the code that loads them.
#define MOXIA_RES_ICONS_LARGE 101
#define MOXIA_RES_ICONS_SMALL 102
