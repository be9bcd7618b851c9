// Resource and control identifiers shared by the resource script and the
// dialog code (plain defines: windres reads this file too).
#pragma once

#define IDD_SETTINGS 104
#define IDD_ABOUT 140
#define IDD_SPEED_TIPS 141
#define IDD_MUSIC 154
#define IDD_CAPTIONS 165
#define IDD_UPDATE 167
#define IDR_SKIN_REGION 124

// Settings dialog: controls in the resource.
#define IDC_DISPLAY_MODES 1024
#define IDC_DELAY_SLIDER 1020
#define IDC_HELP_BUTTON 1048
#define IDC_SUPPORT 1034
#define IDC_ABOUT 1049
#define IDC_CUSTOM_MUSIC 1087
#define IDC_WEB_LINK 1088
#define IDC_SPECIALS 1089
#define IDC_CHECK_UPDATES 1095
#define IDC_CAPTION_OPTIONS 1035
// Settings dialog: controls made in code.
#define IDC_VOLUME_SLIDER 1033
#define IDC_MODE_SLIDER 1052
#define IDC_WALLPAPER 1090
#define IDC_RANDOM_ORDER 1091
#define IDC_ANIMATE 1092
#define IDC_CROSSFADE 1094
#define IDC_HIGH_DETAIL 1096
#define IDC_PLAY_MUSIC 1059
#define IDC_DEFAULT_MUSIC 1011
#define IDC_CUSTOM_MUSIC_TOGGLE 1013
#define IDC_SHUFFLE_MUSIC 1060
#define IDC_FAST_MODE 1061

// About dialog.
#define IDC_ABOUT_LINK 1150
#define IDC_CREDITS_PANEL 1151
#define IDC_ABOUT_SITE 1152

// Music selection dialog.
#define IDC_SONG_LIST 1103
#define IDC_ADD_SONGS 3
#define IDC_REMOVE_SONGS 4
#define IDC_CLEAR_SONGS 5
#define IDC_SONG_UP 1011
#define IDC_SONG_DOWN 1012
#define IDC_SONG_COUNT 1106

// Captions dialog.
#define IDC_SHOW_CAPTIONS 1109
#define IDC_CAPTION_FACE 1112
#define IDC_CAPTION_SIZE 1110
#define IDC_CAPTION_ORIENTATION 1113
#define IDC_CAPTION_ITALIC 1114
#define IDC_CAPTION_BOLD 1117
#define IDC_CAPTION_SAMPLE 1111

// The update dialog and the reporter's progress dialog.
#define IDC_PROGRESS_STATUS 1160
#define IDC_PROGRESS_MESSAGE 1161
#define IDC_PROGRESS_LINK 1162
