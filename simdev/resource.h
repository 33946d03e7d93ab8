#pragma once
// Dialog templates and control identifiers of the simulated devices' property pages.
#define IDD_PICTURE_PAGE 101
#define IDD_CROSSBAR_PAGE 102
#define IDD_FORMAT_PAGE 103

#define IDC_BRIGHTNESS 1001
#define IDC_CONTRAST 1002
#define IDC_SATURATION 1003
#define IDC_BRIGHTNESS_VALUE 1011
#define IDC_CONTRAST_VALUE 1012
#define IDC_SATURATION_VALUE 1013
#define IDC_DEFAULTS 1020

#define IDC_VIDEO_INPUT 1101
#define IDC_AUDIO_INPUT 1102

#define IDC_FORMAT_SIZE 1201
#define IDC_FORMAT_TYPE 1202
