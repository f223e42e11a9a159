// Resource identifiers of Vellix: icons, menus, dialogs, controls, commands and the string
// table. Plain #defines only, so that the resource compiler, the Win32 layer and the
// platform-free core can all include this file.
#pragma once

// Icons.
#define IDI_ENGINE_ON                   129
#define IDI_ENGINE_OFF                  132
#define IDI_LIST_IMAGE                  136

// Menus.
#define IDR_TRAY_MENU                   131
#define IDR_EDITOR_MENU                 134

// Dialog templates.
#define IDD_MAIN                        102
#define IDD_EDITOR                      133
#define IDD_DETAILS_PANEL               135
#define IDD_LANGUAGE                    137
#define IDD_ABOUT                       138
#define IDD_HOTKEY                      3150
#define IDD_PICKER                      3160

// Controls of the phrase editor (133).
#define IDC_PHRASE_LIST                 1001
#define IDC_DETAILS_FRAME               1003
#define IDC_HOME_LINK                   1012
#define IDC_PRODUCT_LINK                1014

// Controls of the details panel (135).
#define IDC_KEYSTROKE_LIST              1004
#define IDC_ADD_KEYSTROKE               1006
#define IDC_REMOVE_KEYSTROKE            1007
#define IDC_POST_INSERTION_GROUP        1008
#define IDC_CARET_LEFT_CHECK            1009
#define IDC_CARET_LEFT_COUNT            1010
#define IDC_CARET_LEFT_SPIN             1011
#define IDC_RULE_MODE                   3000
#define IDC_PROGRAM_LIST                3001
#define IDC_ADD_PROGRAM                 3002
#define IDC_REMOVE_PROGRAM              3003
#define IDC_RULE_NOTE                   3004

// Controls of the About dialog (138).
#define IDC_ABOUT_LIST                  1015
#define IDC_ABOUT_COPY                  1016

// Controls of the hotkey dialog (3150).
#define IDC_HOTKEY_PROMPT               3151
#define IDC_HOTKEY_EDIT                 3152
#define IDC_HOTKEY_NONE                 3153

// Controls of the phrase picker (3160).
#define IDC_PICKER_SEARCH               3161
#define IDC_PICKER_LIST                 3162
#define IDC_PICKER_EMPTY                3163

// The phrase editor's search box (133).
#define IDC_EDITOR_SEARCH               3154

// Controls of the language dialog.
#define IDC_LANGUAGE_COMBO              1013
#define IDC_LANGUAGE_TEXT               1014

// Tray menu commands.
#define ID_LANGUAGE_ENGLISH             32000
#define ID_LANGUAGE_FIRST_FILE          32001
#define ID_LANGUAGE_END                 32100
#define ID_ENABLE                       32771
#define ID_START_WITH_WINDOWS           32772
#define ID_VISIT_WEB_SITE               32773
#define ID_EDIT_PHRASES                 32774
#define ID_ADD_FROM_CLIPBOARD           32783
#define ID_VISIT_FORUM                  32784
#define ID_TECHNICAL_SUPPORT            32785
#define ID_CREATE_LANGUAGE_FILE         32786
#define ID_TRAY_ABOUT                   32788
#define ID_SOUNDS                       32789
#define ID_RESTART                      32796
#define ID_PASTE_LONG_PHRASES           32901
#define ID_DO_NOT_EXPAND_IN             33000

// Commands of the details panel's menu of programs to add.
#define ID_ADD_PROGRAM_BY_NAME          33001
#define ID_ADD_OPEN_PROGRAM_FIRST       33002
#define ID_ADD_OPEN_PROGRAM_END         33050
#define ID_EXPAND_ON_WORD_END           33100
#define ID_UNDO_WITH_BACKSPACE          33101
#define ID_CASE_FOLLOWS_KEYSTROKE       33102
#define ID_PAUSE_KEY                    33150
#define ID_FIND_PHRASE                  33151
#define ID_FIND_PHRASE_KEY              33152
#define ID_APP_EXIT                     57665

// Phrase editor commands (menu bar, context menu and system menu).
#define ID_CHECKED_ONLY                 32775
#define ID_ADD_PHRASE                   32776
#define ID_DELETE_PHRASE                32777
#define ID_EDIT_PHRASE                  32780
#define ID_COPY_PHRASE                  32781
#define ID_PASTE_PHRASE                 32782
#define ID_EDITOR_ABOUT                 32787
#define ID_OPEN_DATABASE                32790
#define ID_USE_AS_DEFAULT               32791
#define ID_OPEN_BACKUP_FOLDER           32794
#define ID_COMMAND_LINE_KEYS            32795
#define ID_SAVE_AND_CLOSE               32797
#define ID_IMPORT_PHRASES               33050

// String table.
#define IDS_HAS_BEEN_STARTED            1
#define IDS_OK_COMPLETE_RUNNING         2
#define IDS_ALREADY_RUNNING             3
#define IDS_SNIPPETS                    4
#define IDS_TURN_ON                     5
#define IDS_TURN_OFF                    6
#define IDS_PHRASE                      7
#define IDS_CASE_SENSITIVE              8
#define IDS_ADD_REPLACE                 9
#define IDS_APPEND_KEYSTROKE            10
#define IDS_REPLACE_KEYSTROKE           11
#define IDS_SAVE_CHANGES                12
#define IDS_DETAILS                     13
#define IDS_DETECTION_TYPE              14
#define IDS_CASE_INSENSITIVE            15
#define IDS_ACTION                      16
#define IDS_APPEND                      17
#define IDS_REPLACE                     18
#define IDS_CHECKED_ONLY                19
#define IDS_ADD                         20
#define IDS_USAGE_COUNT                 21
#define IDS_NO                          22
#define IDS_YES                         23
#define IDS_ACTION_REPLACE              24
#define IDS_NOT_USE                     25
#define IDS_KEYSTROKES                  26
#define IDS_ADD_KEYSTROKE               27
#define IDS_REMOVE_KEYSTROKE            28
#define IDS_HOME_PAGE_LINK              29
#define IDS_ENABLE_BEFORE_EDIT          30
#define IDS_DONE_RUNNING_INSTANCE       31
#define IDS_DISABLE_AUTOSTART           32
#define IDS_EDIT_PHRASES_KEY            33
#define IDS_COMMAND_LINE_HELP           34
#define IDS_COMMAND_LINE_KEYS           35
#define IDS_DUPLICATE_KEYSTROKES        36
#define IDS_CTRL_ENTER_HINT             37
#define IDS_CHARACTERS                  38
#define IDS_LIKE_HINT                   39
#define IDS_SELECT_LANGUAGE             40
#define IDS_SELECT_LANGUAGE_TEXT        41
#define IDS_CREATE_LANGUAGE_FILE        42
#define IDS_RELEASED                    43
#define IDS_HOME_PAGE                   44
#define IDS_TECHNICAL_SUPPORT           45
#define IDS_NEWS_ENGLISH                46
#define IDS_NEWS_RUSSIAN                47
#define IDS_USER_GROUP                  48
#define IDS_PRODUCT_CLIP                49
#define IDS_PRODUCT_CLIP_TIP            50
#define IDS_OTHER_PRODUCTS              51
#define IDS_PRODUCT_NOTES               52
#define IDS_PRODUCT_NOTES_TIP           53
#define IDS_PRODUCT_TIMER               54
#define IDS_PRODUCT_TIMER_TIP           55
#define IDS_PRODUCT_MORE                56
#define IDS_AS_DEFAULT                  57
#define IDS_ENCYCLOPEDIA_PAGES          58
#define IDS_DATABASE_READ_STOPPED       80
#define IDS_DATABASE_ELEMENT_LEFT_OUT   81
#define IDS_DATABASE_NOT_READ           82
#define IDS_DATABASE_NOT_SAVED          83
#define IDS_KEYSTROKE_NEVER_FIRES       84
#define IDS_DO_NOT_EXPAND_IN            100
#define IDS_EXPANSION_OFF_IN            101
#define IDS_EXPANSION_BACK_IN           102
#define IDS_RULE_EVERYWHERE             103
#define IDS_RULE_ONLY_IN                104
#define IDS_RULE_NEVER_IN               105
#define IDS_ONLY_IN                     106
#define IDS_NEVER_IN                    107
#define IDS_FIRES_NOWHERE               108
#define IDS_PROGRAMS                    109
#define IDS_NO_PROGRAMS                 110
#define IDS_ADD_PROGRAM                 111
#define IDS_REMOVE_PROGRAM              112
#define IDS_TYPE_PROGRAM_NAME           113
#define IDS_NO_OPEN_PROGRAMS            114
#define IDS_PREFIX_BEGINS_OTHER         140
#define IDS_PREFIX_BEGUN_BY_OTHER       141
#define IDS_PREFIX_CONFLICTS_MORE       142
#define IDS_PREFIX_NO_CONFLICT_AT_WORD_END 143
#define IDS_CHANGED_ON_DISK             120
#define IDS_OVERWRITE_CHANGED_FILE      121
#define IDS_IMPORT_FILTER               122
#define IDS_IMPORT_DONE                 123
#define IDS_IMPORT_NOTHING              124
#define IDS_IMPORT_LEFT_OUT             125
#define IDS_IMPORT_NOTES                126
#define IDS_IMPORT_LINE                 127
#define IDS_IMPORT_MORE                 128
#define IDS_IMPORT_COLLISIONS           129
#define IDS_IMPORT_FAILED               130
#define IDS_IMPORT_CANNOT_OPEN          131
#define IDS_IMPORT_UNKNOWN_FORMAT       132
#define IDS_PAUSE_KEY_PROMPT            160
#define IDS_FIND_PHRASE_KEY_PROMPT      161
#define IDS_HOTKEY_TAKEN                162
#define IDS_HOTKEY_IN_USE               163
#define IDS_HOTKEY_NOT_SET_UP           164
#define IDS_KEY_CTRL                    165
#define IDS_KEY_SHIFT                   166
#define IDS_KEY_ALT                     167
#define IDS_PAUSE_KEY_CAPTION           168
#define IDS_FIND_PHRASE_KEY_CAPTION     169
#define IDS_PICKER_CUE                  170
#define IDS_PICKER_NO_MATCH             171
#define IDS_PICKER_ENGINE_OFF           172
#define IDS_EDITOR_SEARCH_CUE           173
#define IDS_EDITOR_FOUND                174
#define IDS_EXIT                        57665
#define IDS_DISABLE_TEMPORARY           57666
#define IDS_ENABLE                      57667
#define IDS_CHARS_TYPED                 57668
#define IDS_EDIT_PHRASES                57669
#define IDS_NO_KEYSTROKES               57670
