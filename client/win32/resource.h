// Resource and control numbers of the Windows client, shared by the resource script and the code
// (and by the test driver, which finds controls by these numbers).
#pragma once

#define IDR_PROGRAM_ICON 128
#define IDD_SLEEP 131
#define IDI_TRAY_ICON 132
#define IDR_ACCELERATORS 133
#define IDD_REMOTE 102

#define IDC_NEXT 1001
#define IDC_PREV 1002
#define IDC_PLAY 1003
#define IDC_PAUSE 1004
#define IDC_STOP 1005
#define IDC_NOW_PLAYING 1006
#define IDC_SHUFFLE 1007
#define IDC_TRACKS 1008
#define IDC_SEARCH 1010
#define IDC_GO 1011
#define IDC_VOLUME 1012
#define IDC_FILTER 1013
#define IDC_SLEEP_HOURS 1014
#define IDC_SLEEP_MINUTES 1015
#define IDC_SLEEP 1016
#define IDC_SERVER 1017
#define IDC_RELOAD 1018
#define IDC_APPLY_FILTER 1019
#define IDC_ABOUT 1020
#define IDC_UPDATE 1021

#define ID_LIST_UP 32777
#define ID_LIST_DOWN 32779
#define ID_LIST_PAGE_UP 32781
#define ID_LIST_PAGE_DOWN 32783
#define ID_ENTER 32785
