#pragma once

#include <string>

namespace tolvenmark {

// Stands in for the Windows directory: $TOLVENMARK_WINDIR, else
// $XDG_CONFIG_HOME/tolvenmark, else ~/.config/tolvenmark. No trailing "/".
std::string WindowsDirectory();

// The default data folder a first installation uses: $XDG_DATA_HOME/tolvenmark
// or ~/.local/share/tolvenmark.
std::string DefaultDataDirectory();

// Makes path (no trailing "/") a folder only this user can enter: created
// 0700 when missing, closed to 0700 when open. Throws OperationError when it
// is a link, not a folder, or another user's.
void MakePrivateFolder(const std::string& path);

// A private per-user temporary folder (mode 0700) under $TMPDIR or /tmp,
// created on first use, with a trailing "/"; where that cannot be had (taken
// by another user, no such TMPDIR) $XDG_CACHE_HOME/tolvenmark/tmp. Throws
// OperationError when neither can be made private.
std::string PrivateTempDirectory();

// The folder of the clock's socket and lock, no trailing "/": $XDG_RUNTIME_DIR
// when it is a folder of this user that nobody else can write, else
// $XDG_CACHE_HOME/tolvenmark/run (default ~/.cache), made private. Throws
// OperationError when no private folder can be had.
std::string PrivateRuntimeDirectory();
// A private folder with a short path standing in for folder, for sockets,
// whose paths the system limits to 107 bytes: /tmp/tolvenmark-UID-HASH, the
// same for the same folder. Throws as MakePrivateFolder.
std::string ShortPrivateRuntimeDirectory(const std::string& folder);

bool FileExists(const std::string& path);

// The path itself when that file exists; otherwise a file in the same folder
// whose name differs only in letter case, as skins made where names ignore
// case expect; otherwise the path unchanged.
std::string FindFileIgnoringCase(const std::string& path);
// A folder in folder (with its trailing "/", or "") whose name is part, or
// differs from it only in letter case; part itself when there is none.
std::string FindFolderIgnoringCase(const std::string& folder, const std::string& part);

// Replaces path by content atomically: a temporary file beside it, flushed,
// then renamed; keeps the old file's permissions. False when anything failed,
// in which case the old file is untouched.
// errno tells why.
bool ReplaceFileAtomically(const std::string& path, const std::string& content);

// Deletes the temporary files a killed ReplaceFileAtomically of folder/name
// left behind: ours, regular, named exactly "." + name + "." + six letters or
// digits. Returns how many went.
int RemoveStaleTempFiles(const std::string& folder, const std::string& name);

}  // namespace tolvenmark
