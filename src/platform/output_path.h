#pragma once
// Naming the output file of a command: the track file's name with the
// output's extension (asking before an existing file or folder of that name
// is replaced), or a name chosen in the save dialog.

#include <optional>
#include <string>

#include "platform/atomic_file.h"
#include "platform/result.h"
#include "platform/shell.h"

namespace kestrel {

// The path of the track file with its extension replaced (drive, folder and
// base name kept).
std::string PathWithExtension(const std::string& trackFilePath, const std::string& extension);

// sameName: the derived path, after the question when it exists (No stops
// silently; a device, a pipe or the like is written as a stream and needs
// no question). Otherwise the save dialog with the request, proposing the
// derived path (cancel stops silently). Nothing when the command is to stop.
std::optional<std::string> NameOutputFile(Shell& shell, bool sameName, const std::string& trackFilePath,
                                          const std::string& extension, const FileDialogRequest& dialog);

// The question before a derived output file is replaced.
std::string OverwriteQuestion(const std::string& path);

// Puts a written output in place. Where its name, free when the file was
// created, has been taken while it was written, the question is asked
// first: Yes replaces that file, No stops silently (as a cancel).
Result<void> CommitOutput(TextOutput& output, const std::string& path, Shell& shell,
                          AtomicFile::FolderSync folderSync = AtomicFile::FolderSync::Now);

}  // namespace kestrel
