// Resource ids of cvlabout.dll, shared by its code and its resource script.
#pragma once

#define IDD_ABOUT 100
#define IDI_CORVANE 1
#define IDC_ABOUT_TITLE 101
#define IDC_ABOUT_EDITION 102
#define IDC_ABOUT_FOLDER 103
