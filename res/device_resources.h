#pragma once
// Resource identifiers of the device dialogs: the analog video standard, the webcam controls and
// the TV tuner window with its button icons.

// Analog video standard dialog.
#define IDD_ANALOG_VIDEO 171
#define IDC_AV_STANDARD 1136

// Webcam controls dialog.
#define IDD_WEBCAM 195
#define IDC_WC_AUTO 1173
#define IDC_WC_EXPOSURE 1184
#define IDC_WC_LIGHT 1191
#define IDC_WC_FLICKER 1192

// TV tuner window.
#define IDD_TV_TUNER 186
#define IDC_TV_ADVANCED 1148
#define IDC_TV_SAVE 1151
#define IDC_TV_TUNE 1152
#define IDC_TV_RESET 1153
#define IDC_TV_LOAD 1154
#define IDC_TV_CLOSE 1155
#define IDC_TV_LIST_NEXT 1160
#define IDC_TV_LIST_PREVIOUS 1161
#define IDC_TV_INSERT 1163
#define IDC_TV_INPUT_GROUP 1267
#define IDC_TV_SCAN_GROUP 1299
#define IDC_TV_CHANNELS 1345
#define IDC_TV_CABLE 1346
#define IDC_TV_ANTENNA 1347
#define IDC_TV_DIGIT_0 1358
#define IDC_TV_DIGIT_1 1359
#define IDC_TV_DIGIT_9 1367
#define IDC_TV_ENTER 1369
#define IDC_TV_CHANNEL_DOWN 1370
#define IDC_TV_CHANNEL_UP 1371
#define IDC_TV_RECENT_0 1372
#define IDC_TV_RECENT_GROUP 1373
#define IDC_TV_RECENT_1 1374
#define IDC_TV_RECENT_2 1375
#define IDC_TV_RECENT_3 1376
#define IDC_TV_LIST_GROUP 1377

#define IDI_TV_IN_LIST 202
#define IDI_TV_NOT_IN_LIST 203
#define IDI_TV_CHANNEL_UP 204
#define IDI_TV_LIST_NEXT 205
#define IDI_TV_CHANNEL_DOWN 206
#define IDI_TV_LIST_PREVIOUS 207
