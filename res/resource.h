// Resource and command identifiers shared by the resource script and the code.
#ifndef KELVARIN_RES_RESOURCE_H
#define KELVARIN_RES_RESOURCE_H

#define IDM_MAINMENU 127  // popup 0: main menu, popup 1: resolution list
#define IDD_SETTINGS 124
#define IDD_ABOUT 125
#define IDC_LINKHAND 126  // pointing-hand cursor over links

// Main menu commands
#define IDM_EXIT 40001
#define IDM_ABOUT 40002
#define IDM_NOMODES 40007  // greyed placeholder of the resolution list
#define IDM_WALLPAPER_CENTER 40044
#define IDM_WALLPAPER_TILE 40045
#define IDM_WALLPAPER_STRETCH 40046
#define IDM_SETTINGS 40048
#define IDM_REMOVE_WALLPAPER 40049
#define IDM_LOUPE 40051
#define IDM_CURINF 40052
#define IDM_DISPLAY_PROPERTIES 40056

// Settings dialog controls
#define IDC_SAVEFOLDER 1035
#define IDC_BROWSE 1036
#define IDC_HOTKEY_CAPTURE 1020
#define IDC_HOTKEY_SETWALLPAPER 1021
#define IDC_HOTKEY_REMOVEWALLPAPER 1022

// About box controls
#define IDC_ABOUT_ICON 1006
#define IDC_ABOUT_SYSRES 1007
#define IDC_ABOUT_URL 1008
#define IDC_ABOUT_VERSION 1009

#endif
