/* Resource and control ids of the dialogs, shared by the resource scripts and the
   code. Plain macros, which the resource compiler understands; the code uses the
   named constants below them. */
#pragma once

/* The wizard frame (dialog 1) and the uninstaller's dialog, which keeps its layout. */
#define IDD_FRAME 1
#define IDC_NEXT 1000
#define IDC_BACK 1001
#define IDC_BROWSE 1002
#define IDC_CUSTOMIZE 1003
#define IDC_PROGRESS_BAR 1009
#define IDC_INSTALL_DIR 1010
#define IDC_KEEP_SETTINGS 1011
#define IDC_IDE_LIST 1013
#define IDC_PAGE_TEXT 256
#define IDC_DESTINATION_GROUP 258
#define IDC_STATUS_LINE 260
#define IDC_PROGRESS_GROUP 261
#define IDC_SIDE_PICTURE 501

/* The side picture, drawn for 100%, 150% and 200% display scale. */
#define IDB_SIDE_PICTURE 1
#define IDB_SIDE_PICTURE_150 2
#define IDB_SIDE_PICTURE_200 3

/* The Customize dialog. */
#define IDD_CUSTOMIZE 900
#define IDC_CUSTOMIZE_LIST 901
#define IDC_CUSTOMIZE_DESCRIPTION 902
#define IDC_CUSTOMIZE_LINE 903
#define IDC_CUSTOMIZE_OK 904
#define IDC_CUSTOMIZE_CANCEL 905

#ifndef RC_INVOKED
enum TControlId : int {
    idcNext = IDC_NEXT,
    idcBack = IDC_BACK,
    idcBrowse = IDC_BROWSE,
    idcCustomize = IDC_CUSTOMIZE,
    idcProgressBar = IDC_PROGRESS_BAR,
    idcInstallDir = IDC_INSTALL_DIR,
    idcKeepSettings = IDC_KEEP_SETTINGS,
    idcIdeList = IDC_IDE_LIST,
    idcPageText = IDC_PAGE_TEXT,
    idcDestinationGroup = IDC_DESTINATION_GROUP,
    idcStatusLine = IDC_STATUS_LINE,
    idcProgressGroup = IDC_PROGRESS_GROUP,
    idcSidePicture = IDC_SIDE_PICTURE,
    idcCancel = 2, /* IDCANCEL */
    idcCustomizeList = IDC_CUSTOMIZE_LIST,
    idcCustomizeDescription = IDC_CUSTOMIZE_DESCRIPTION,
    idcCustomizeOk = IDC_CUSTOMIZE_OK,
    idcCustomizeCancel = IDC_CUSTOMIZE_CANCEL,
};
#endif
