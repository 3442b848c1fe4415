// Ids of the updater's Windows resources and controls, shared by the resource script and the
// dialog code.
#pragma once

#define IDD_UPDATER 129
#define IDI_UPDATER 128
#define IDC_UPDATE 1 /* IDOK: Return presses "Update" */
#define IDC_EXIT 2   /* IDCANCEL: Escape presses "Exit" */
#define IDC_PROGRESS 1000
#define IDC_WARNING 1001 /* shown only while firmware is being written */
