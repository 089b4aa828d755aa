// Fixed texts of the configuration dialogs: tips, the folder browser's title and the help files.
#pragma once

namespace config {

inline constexpr char kHelpFileName[] = "Prismata.hlp";
inline constexpr char kHtmlHelpFileName[] = "Prismata.chm";
inline constexpr unsigned kConfigHelpContext = 4;
inline constexpr unsigned kAdvancedHelpContext = 5;
// Help that cannot be shown; %s is the help file's path.
inline constexpr char kHelpMissingText[] = "The help file is missing:\n\n%s\n\nInstalling Prismata again puts it back.";
inline constexpr char kHelpUnopenedText[] = "The help viewer could not open the help file:\n\n%s";
// Settings that could not be written; %s is the settings file's path.
inline constexpr char kSettingsNotSavedFormat[] =
    "Prismata could not save your settings in its settings file:\r\n\r\n%s\r\n\r\nPlease make sure that you may "
    "change this file, then press OK again, or press Cancel to leave the settings as they were.";
inline constexpr char kTraceSettingsNotSaved[] = "Could not save the settings in %s\n";
// The answer for the folder text shown: "found" or "not found", then the text (cut, so that the line ends).
inline constexpr char kTraceFolderChecked[] = "Folder check: %s %.400s\n";

inline constexpr char kBrowseTitle[] = "Select a folder containing image files of type JPG, DIB, WMF, or BMP :";

// Main settings dialog.
inline constexpr char kTipSpinX[] = "This slider controls the speed and direction of spin along the X axis";
inline constexpr char kTipSpinY[] = "This slider controls the speed and direction of spin along the Y axis";
inline constexpr char kTipSpinZ[] = "This slider controls the speed and direction of spin along the Z axis";
inline constexpr char kTipSpeedX[] = "This slider controls the speed of movement along the X axis";
inline constexpr char kTipSpeedY[] = "This slider controls the speed of movement along the Y axis";
inline constexpr char kTipSpeedZ[] = "This slider controls the speed of movement along the Z axis";
inline constexpr char kTipCubeSize[] = "This slider controls the size of the cube";
inline constexpr char kTipKeepUpright[] =
    "If this checkbox is set, Prismata will attempt to keep images upright as the cube rotates";
inline constexpr char kTipFolder[] = "This edit control contains the folder that will be scanned for image files";
inline constexpr char kTipBrowse[] =
    "Selecting this button will allow you to browse for a folder that contains image files";

// Advanced settings dialog. Spacing and the missing full stops are as the tips have always read.
inline constexpr char kTipLowResolution[] =
    "When this setting is TRUE, Prismata will drop down to a screen resolution of 640 by 480 when activated. "
    "Your display will be returned to its normal resolution upon exit.";
inline constexpr char kTipSoftwareAcceleration[] =
    "Setting this parameter to true will allow Direct3D to perform software 3D acceleration. You may need to do "
    "this if your video card doesn't support hardware acceleration.";
inline constexpr char kTipTimeBetween[] =
    "This numeric parameter indicates the number of milliseconds between the load of each new picture.";
inline constexpr char kTipTextureSize[] =
    "This numeric parameter sets the width and height, in pixels, of the texture each picture is scaled to "
    "before it is shown on a face of the cube";
inline constexpr char kTipConvert[] = "When this entry is selected, pictures added to Prismata will be converted to "
                                      "BMP format and stored in the image cache directory";
inline constexpr char kTipPreserveAspect[] =
    "When this entry is selected, pictures with an aspect ratio greater than 4:3 or less than 3:4 will get special "
    "handling when converted. Instead of being stretched to fit a square cube face, black bands will  be inserted "
    "on the top and bottom or two sides of the image, ensuring  that no image distortion takes place";
inline constexpr char kTipTargetBmpSize[] =
    "This numeric parameter selects the size of the cached BMP file created during the conversion process";
// The choices of the picture order, in the order of their stored values 0, 1 and 2.
inline constexpr const char* kPictureOrders[] = {"From the first picture", "Continue where the last show stopped",
                                                 "Shuffled"};
inline constexpr char kTipPictureOrder[] =
    "Which picture a show begins with: the first of the list each time, the one after the last picture the previous "
    "show reached, or a random order in which every picture comes once before any comes again";

} // namespace config
