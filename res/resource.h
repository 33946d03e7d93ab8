#pragma once
// Resource identifiers of Lumetra.exe. The shutter sound is the WAVE resource named "IDR_SHUTTER".

#define IDD_MAIN 102
#define IDC_BLANK_TEXT 1001

#define IDI_LUMETRA 128

#define IDS_TV_RESET_CABLE 103
#define IDS_TV_RESET_ANTENNA 104
#define IDS_TV_INSERT_CHANNEL 105
#define IDS_TV_REMOVE_CHANNEL 106
#define IDS_TV_CHANNEL_UP 107
#define IDS_TV_CHANNEL_DOWN 108
#define IDS_TV_NEXT_IN_LIST 109
#define IDS_TV_PREVIOUS_IN_LIST 110
#define IDS_TV_RECENT 111
#define IDS_TV_CABLE 112
#define IDS_TV_ANTENNA 113
#define IDS_TV_STORE 114
#define IDS_TV_ADVANCED 115
#define IDS_TV_SCAN 116
#define IDS_LIVE_VIDEO_TITLE 118
#define IDS_PLAYBACK_TITLE 119
#define IDS_MOTION_CAPTURE_ALERT 121
#define IDS_PRODUCT_TITLE 122
#define IDS_ALTERNATE_TITLE 123

// Video capture settings dialog. The file name, browse button and overwrite radios (1096 to 1099)
// have the same numbers in every capture settings dialog.
#define IDD_VIDEO_CAPTURE_SETTINGS 158
#define IDC_VCS_FILENAME 1096
#define IDC_VCS_BROWSE 1097
#define IDC_VCS_OVERWRITE 1098
#define IDC_VCS_APPEND 1099
#define IDC_VCS_USE_TIMELIMIT 1107
#define IDC_VCS_USE_SIZELIMIT 1108
#define IDC_VCS_TIMELIMIT 1109
#define IDC_VCS_MINUTES 1110
#define IDC_VCS_SECONDS 1111
#define IDC_VCS_SIZELIMIT 1112
#define IDC_VCS_SIZELIMIT_LABEL 1113
#define IDC_VCS_ENCODER_SETTINGS 1114
#define IDC_VCS_PREALLOCATE 1119
#define IDC_VCS_AVAILABLE 1123
#define IDC_VCS_DRIVE 1125
#define IDC_VCS_USE_FRAMERATE 1126
#define IDC_VCS_FRAMERATE 1127
#define IDC_VCS_FRAMERATE_LABEL 1129
#define IDC_VCS_ALLOCATE 1132
#define IDC_VCS_COMPRESSION 1146
#define IDC_VCS_CAPTURE_AUDIO 1174

// Still image capture settings dialog; the file name, "..." and the two radios are the numbers above.
#define IDD_STILL_CAPTURE_SETTINGS 163
#define IDC_SCS_EFFECTS_GROUP 1106
#define IDC_SCS_STARTUP_GROUP 1107
#define IDC_SCS_POPUP 1117
#define IDC_SCS_SHUTTER 1118
#define IDC_SCS_OPEN_FOLDER 1147
#define IDC_SCS_STI_SNAPSHOT 1274

// Rename of a snapshot file, from the snapshot pop-up's menu.
#define IDD_RENAME_IMAGE 210
#define IDC_RENAME_NAME 1185
