// The fixed texts of the picture library: messages, status lines and trace lines.
#pragma once

namespace library::text {

inline constexpr char kCacheFolderChosen[] =
    "It appears that you have selected your Prismata's Image Cache folder as the source of your image files. "
    "Prismata is unable to operate in this configuration. Please select a different folder.";
inline constexpr char kProcessedCaption[] = "Prismata";
// Shown in its place when the picture list could not be written; %s is the settings file.
inline constexpr char kListNotSavedFormat[] =
    "Prismata could not save the list of your pictures in its settings file, so the screen saver cannot show "
    "them:\r\n\r\n%s\r\n\r\nPlease make sure that you may change this file, then choose the picture folder again.";
// Another settings dialog (another user's, or a second copy) is rebuilding the one library of this PC.
inline constexpr char kRebuildBusy[] =
    "Another Prismata settings dialog is rebuilding the picture library right now. Please wait until it has "
    "finished, then press OK again.";
inline constexpr char kTraceRebuildBusy[] = "Another rebuild is running; this one is refused\n";
// Held by the rebuild from the cache clean-up until the list is written and reported, in every session.
inline constexpr char kRebuildMutexName[] = "Global\\PrismataPictureLibrary";
inline constexpr char kKillFailed[] = "An error occurred trying to kill the processing thread";

inline constexpr char kAborting[] = "Aborting build of image folder";
inline constexpr char kAborted[] = "Aborted at User Request";

inline constexpr char kTraceCounts[] = "Old count = %d, new count = %d\n";
inline constexpr char kTraceListNotSaved[] = "Could not save the picture list in %s\n";
inline constexpr char kTraceDeleting[] = "Deleting file %s\n";
inline constexpr char kTraceRefusedDelete[] = "INCORRECT ATTEMPT TO DELETE %s\n";
inline constexpr char kTracePreserving[] = "Preserving aspect ratio for image %s\n";

inline constexpr char kCacheFolderName[] = "ImageCache\\";

} // namespace library::text
