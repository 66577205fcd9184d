#pragma once
// Start-up and exit pieces of the main window that need no window: the open
// dialog's filter, the folder-tree removal and the exit clean-up.
#include <string>

// The open dialog's filter: all media, video, audio, then one entry per
// kind of file. The three group names are translated, the kinds are not.
std::string BuildOpenDialogFilter();

// Removes what Folder holds (and Folder itself with RemoveFolder). Entries
// are never followed through symbolic links: a link is removed as a link,
// and a Folder that is itself a link is refused. ClearAttributes makes read-
// only entries writable first. With StopOnFailure the first failure ends the
// walk. False when Folder does not exist or the last deletion failed.
bool DeleteFolderTree(const std::string& Folder, bool ClearAttributes, bool StopOnFailure, bool RemoveFolder);

// The exit clean-up of the temporary folder: only the files and folders this
// run recorded as its own (App().RunTempFiles) go; everything else in the
// temporary folder (the user's files, recordings, downloads, what a linked
// folder holds) stays.
void ExitCleanUp();
