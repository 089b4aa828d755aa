// Configuration dialogs: templates, controls, icons.
#pragma once

#define IDD_CONFIG 129
