#include "platform/output_path.h"

#include "platform/paths.h"

namespace kestrel {

std::string PathWithExtension(const std::string& trackFilePath, const std::string& extension) {
  const SplitPath split = SplitPathOf(trackFilePath);
  return split.drive + split.directory + split.baseName + extension;
}

std::string OverwriteQuestion(const std::string& path) { return path + "は既に存在します\n上書きしますか?"; }

std::optional<std::string> NameOutputFile(Shell& shell, bool sameName, const std::string& trackFilePath,
                                          const std::string& extension, const FileDialogRequest& dialog) {
  if (!sameName) {
    // The dialog proposes the derived name, in the track file's folder.
    FileDialogRequest proposal = dialog;
    if (!trackFilePath.empty()) proposal.initialFileName = PathWithExtension(trackFilePath, extension);
    return shell.ChooseFileToSave(proposal);
  }
  std::string path = PathWithExtension(trackFilePath, extension);
  if (shell.PathExists(path) && !IsStreamTarget(path) && !shell.AskYesNo(OverwriteQuestion(path))) {
    return std::nullopt;
  }
  return path;
}

Result<void> CommitOutput(TextOutput& output, const std::string& path, Shell& shell,
                          AtomicFile::FolderSync folderSync) {
  Result<void> committed = output.Commit(AtomicFile::Overwrite::KnownFile, folderSync);
  if (committed || !output.NameTaken()) return committed;
  if (!shell.AskYesNo(OverwriteQuestion(path))) return Cancelled();
  return output.Commit(AtomicFile::Overwrite::AnyFile, folderSync);
}

}  // namespace kestrel
