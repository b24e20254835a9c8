// Resource and control ids of the Windows configuration dialog, shared by the .rc file and the
// code. Plain #defines: the resource compiler reads this file too.
#pragma once

#define IDD_DRAVO_CONFIG 1000
#define IDC_PORT 1000
#define IDC_MEDIA_ROOT 1001
#define IDC_FILE_EXTENSIONS 1002
#define IDC_REFRESH_CACHE 1003
// Beside the port edit: the progress of a refresh.
#define IDC_PROGRESS 1004

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
