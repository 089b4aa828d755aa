// Configuration dialogs: templates, controls, icons.
#pragma once

// Templates.
#define IDD_CONFIG 129
#define IDD_ABOUT 216
#define IDD_ADVANCED 225

// Slider icons: a cube with one axis, turning towards a slider end or moving along the axis.
#define IDI_SPIN_X_NEG 207
#define IDI_SPIN_X_POS 208
#define IDI_SPEED_X 209
#define IDI_SPIN_Y_POS 210
#define IDI_SPIN_Y_NEG 211
#define IDI_SPEED_Y 212
#define IDI_SPIN_Z_NEG 213
#define IDI_SPIN_Z_POS 214
#define IDI_SPEED_Z 215

// Main settings dialog.
#define IDC_ADVANCED 3
#define IDC_SPIN_X 1000
#define IDC_SPIN_Y 1001
#define IDC_SPEED_X 1002
#define IDC_SPEED_Y 1003
#define IDC_CUBE_SIZE 1004
#define IDC_SPIN_Z 1005
#define IDC_SPEED_Z 1006
#define IDC_KEEP_UPRIGHT 1007
#define IDC_FOLDER 1008
#define IDC_BROWSE 1009
#define IDC_ICON_SPIN_X_LEFT 1010
#define IDC_ICON_SPIN_X_RIGHT 1011
#define IDC_ICON_SPIN_Y_LEFT 1012
#define IDC_ICON_SPIN_Y_RIGHT 1013
#define IDC_ICON_SPIN_Z_LEFT 1014
#define IDC_ICON_SPIN_Z_RIGHT 1015
#define IDC_ICON_SPEED_X 1016
#define IDC_ICON_SPEED_Y 1017
#define IDC_ICON_SPEED_Z 1018
#define IDC_INCLUDE_SUBFOLDERS 1034
#define IDC_CONFIG_HELP 57670
#define IDC_CONFIG_ABOUT 57671

// Advanced settings dialog.
#define IDC_ADVANCED_HELP 3
#define IDC_RESTORE_DEFAULTS 4
#define IDC_LOW_RESOLUTION 1022
#define IDC_CONVERT 1023
#define IDC_TEXTURE_SIZE 1024
#define IDC_TIME_BETWEEN 1025
#define IDC_SOFTWARE_ACCELERATION 1026
#define IDC_TIME_BETWEEN_LABEL 1027
#define IDC_TARGET_BMP_SIZE 1028
#define IDC_PRESERVE_ASPECT 1029
#define IDC_TEXTURE_SIZE_LABEL 1030
#define IDC_TARGET_BMP_SIZE_LABEL 1031
#define IDC_PICTURE_ORDER 1032
#define IDC_PICTURE_ORDER_LABEL 1033
