// Numbers of Tarnlog's resources, commands and controls, shared by the resource
// script and the code. Plain #defines, as the resource compiler reads them too.
#pragma once

// Dialog templates and the accelerator table.
#define IDD_ABOUT 300
#define IDD_MAIN 301
#define IDD_CONFIG 302
#define IDD_EDIT_ENTRY 303
#define IDD_MESSAGE 304
#define IDR_ACCELERATORS 350

// Main window: status bar.
#define IDC_STATUS_BAR 401

// Menu-item bitmaps and the database status icons. The program icon is the named
// resource "APP_ICON"; the logos are "VORNBMP00" to "VORNBMP26".
#define IDB_NEW 500
#define IDB_OPEN 501
#define IDB_SAVE 502
#define IDB_SAVEAS 503
#define IDB_QUIT 504
#define IDB_CFG 505
#define IDB_CLOSE 506
#define IDB_HELP 507
#define IDB_EXPORT 508
#define IDB_VORN 509
#define IDB_DBUPD 510
#define IDB_RECENT 511
#define IDB_CLEARHIST 512
#define IDI_NO_DBICON 600
#define IDI_FL_DBICON 601
#define LOGO_BITMAP_COUNT 27

// File menu.
#define IDM_NEW_LOG 1000
#define IDM_OPEN_LOG 1001
#define IDM_SAVE_LOG 1002
#define IDM_SAVE_LOG_AS 1003
#define IDM_CONFIGURATION 1004
#define IDM_EXPORT 1005
#define IDM_QUIT 1006
#define IDM_CLOSE_LOG 1007
#define IDM_OPEN_LOG_DIR 1008
#define IDM_UPDATE_DB 1009
#define IDM_RECENT_FIRST 1200   // slot s (1..5) has 1199 + s
#define IDM_CLEAR_RECENT 1210

// Options menu; F2 sends IDM_UNUSED_F2, which nothing acts on.
#define IDM_AUTO_SAVE 2000
#define IDM_UNUSED_F2 2001
#define IDM_AUTO_TIME 2002
#define IDM_AUTO_CLEAR_SUMMIT 2003
#define IDM_AUTO_BAND_RESET 2004
#define IDM_REF_CHECK 2005
#define IDM_AUTO_SWL_CLEAR 2009

// Help menu and the quick prefixes (Shift+F1 to Shift+F12).
#define IDM_HELP 3000
#define IDM_ABOUT 3001
#define IDM_QUICK_PREFIX_FIRST 3501

// The entry form, the same numbers in the main window and the edit dialog.
#define IDC_SUMMIT_LABEL 2400
#define IDC_MY_REF_LABEL 2401
#define IDC_CALLSIGN_LABEL 2402
#define IDC_QSO_DATE 2410
#define IDC_QSO_TIME 2411
#define IDC_HIS_SUMMIT 2413
#define IDC_BAND 2414
#define IDC_MODE 2415
#define IDC_MY_CALL 2416
#define IDC_HIS_CALL 2417
#define IDC_NOTES 2418
#define IDC_MY_SUMMIT 2419
#define IDC_HIS_SUMMIT_INFO 2420
#define IDC_MY_SUMMIT_INFO 2421
#define IDC_SWL 2422
#define IDC_BEARING_OFFSET 2423
#define IDC_LOG_CONTACT 2430
#define IDC_CLEAR_ENTRY 2431
#define IDC_DELETE_ENTRY 2432
#define IDC_CHECK_UPDATE 2450
#define IDC_LOGO 2501
#define IDC_LOG_LIST 2502

// Message dialog.
#define IDC_MESSAGE_TEXT 3002
#define IDC_MESSAGE_ICON 3003

// Configuration dialog.
#define IDC_CONFIG_HEADER 3100
#define IDC_CALLSIGNS_LABEL 3101
#define IDC_CALLSIGNS 3102
#define IDC_BANDS_LABEL 3103
#define IDC_BANDS 3104
#define IDC_DEFAULT_BANDS 3105
#define IDC_MODES_LABEL 3106
#define IDC_MODES 3107
#define IDC_DEFAULT_MODES 3108
#define IDC_CONFIG_FOOTER 3109
#define IDC_SAMPLE_LIST 3110
#define IDC_TEXT_COLOUR_1 3120
#define IDC_TEXT_COLOUR_2 3121
#define IDC_BACK_COLOUR_1 3122
#define IDC_BACK_COLOUR_2 3123
#define IDC_DEFAULT_COLOURS 3124
#define IDC_LOCATOR_LABEL 3125
#define IDC_LOCATOR 3126
#define IDC_MILES 3127
#define IDC_EXTEND_QRA 3128
#define IDC_ALLOW_EMPTY_SAVE 3129
#define IDC_NO_BACKUP 3130
#define IDC_BROWSE_VIEWER 3131
#define IDC_VIEWER_PATH 3132
#define IDC_OPERATOR 3133
#define IDC_MESSAGE_LINE 3140

// About dialog.
#define IDC_ABOUT_DESCRIPTION 3300
#define IDC_ABOUT_VERSION 3301
#define IDC_ABOUT_NOTICE 3302
#define IDC_UPDATE_STATUS 3303
#define IDC_UPDATE_NOW 3304

// Strings.
#define IDS_LOGO_TIP 3200
#define IDS_CONFIG_HEADER 3201
#define IDS_CONFIG_FOOTER 3202
#define IDS_LOGO_NOTICE 3203
#define IDS_ABOUT_DESCRIPTION 3204
#define IDS_DB_AGE_WARNING 3404
