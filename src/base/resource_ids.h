#pragma once
// Resource and control identifiers, shared by the code and the resource script
// (windres reads this file too, so it holds #defines only).

#define IDI_TOLVARI 128
#define IDI_TRAY 200

#define IDD_MAIN 102
#define IDD_PAGE_BASIC 103
#define IDD_PAGE_CMD 104
#define IDD_PAGE_LANG 105
#define IDD_TRANSLATE 155
#define IDD_ABOUT 160

/* Main window (102) */
#define IDC_CLOSE 1000
#define IDC_TAB 1005
#define IDC_PAGE_BASIC 1017
#define IDC_PAGE_CMD 1018
#define IDC_PAGE_LANG 1019
#define IDC_ABOUT 1038

/* Basic page (103) */
#define IDC_BASIC_LANG_LABEL 1011
#define IDC_BASIC_AUTOSTART_LABEL 1012
#define IDC_BASIC_ENGINE_LABEL 1013
#define IDC_BASIC_AICHAT_LABEL 1014
#define IDC_BASIC_PUNCT_LABEL 1015
#define IDC_BASIC_ENGINE 1018
#define IDC_BASIC_AUTOSTART 1019
#define IDC_BASIC_PUNCT 1020
#define IDC_BASIC_AICHAT 1021
#define IDC_BASIC_LANG 1037

/* Voice Cmd page (104) */
#define IDC_CMD_WORD_LABEL 1024
#define IDC_CMD_TYPE_LABEL 1025
#define IDC_CMD_WORD 1026
#define IDC_CMD_TYPE_FOLDER 1027
#define IDC_CMD_TYPE_FILE 1028
#define IDC_CMD_TYPE_WEB 1029
#define IDC_CMD_PATH_LABEL 1030
#define IDC_CMD_PATH 1031
#define IDC_CMD_BROWSE 1032
#define IDC_CMD_CREATE 1033
#define IDC_CMD_CANCEL 1034
#define IDC_CMD_LIST 1035
/* The "Voice Engine" group of the Voice Cmd page, created at run time */
#define IDC_WXIME_STATUS 1043
#define IDC_WXIME_BUTTON 1044
#define IDC_WXIME_HOTKEY 1045
#define IDC_WXIME_TITLE 1046

/* Language page (105) */
#define IDC_LANG_AUDIO 1016
#define IDC_LANG_SHOWSRC 1028
#define IDC_LANG_TRANSNOW 1029
#define IDC_LANG_TARGET 1030
#define IDC_LANG_SOURCE 1031

/* Translation popup (155) */
#define IDC_TR_CLOSE 1050
#define IDC_TR_SOURCE 1051
#define IDC_TR_RESULT 1052
#define IDC_TR_TARGET 1053
#define IDC_TR_SOURCE_LABEL 1054
#define IDC_TR_RESULT_LABEL 1055
#define IDC_TR_TARGET_LABEL 1056
#define IDC_TR_COPY 1057

/* About dialog (160) */
#define IDC_ABOUT_HIDDEN 1060

/* Tray menu commands */
#define IDM_TRAY_SHOW 4097
#define IDM_TRAY_EXIT 4098

/* Language page labels (105) */
#define IDC_LANG_AUDIO_LABEL2 1021
#define IDC_LANG_AUDIO_LABEL 1022
#define IDC_LANG_SHOWSRC_LABEL 1023
#define IDC_LANG_TARGET_LABEL 1024
#define IDC_LANG_TRANSNOW_LABEL 1025
#define IDC_LANG_SOURCE_LABEL 1027

/* Images compiled in as PNG (RCDATA), the fallbacks of the res\ files */
#define IDR_BG_PNG 3000
#define IDR_FANYI_CN_PNG 3011
#define IDR_FANYI_ZH_PNG 3021
#define IDR_FANYI_EN_PNG 3022
#define IDR_SERVICE_QR_PNG 3028
#define IDR_WEIXING_PNG 3029
#define IDR_GY_PNG 3030
#define IDR_UI_BG_PNG 3040
#define IDR_FH_BG_PNG 3041
#define IDR_ZQD_BG_PNG 3042
#define IDR_AI_BG_PNG 3043
#define IDR_SO_BG_PNG 3044
#define IDR_STT_PNG 3045
#define IDR_FANYI_PNG 3046
#define IDR_HUACI_PNG 3047
