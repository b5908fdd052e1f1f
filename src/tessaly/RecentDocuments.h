// The platform side of the document catalogue: the user's recent-documents
// folder, its shortcuts, and the sibling programs' list files.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace tessaly {

// The file-system path of the shell's recent-documents folder (CSIDL_RECENT).
// The UTF-16 form of a path for the wide file functions. The Recent folder's
// path and a long document name together can pass MAX_PATH; such a path
// reaches the file system only in its "\\?\" form, which must be absolute.
std::wstring WidePath(const std::string& path);

std::string LocateRecentFolder(HWND owner);

// Names (without folder) of the entries matching a search path
// "folder\pattern", in the order the file system reports them. Nothing is
// skipped: no attribute is tested.
std::vector<std::string> FindNames(const std::string& searchPath);

// The target path stored in a shortcut file, without resolving moved
// targets: "" when the link object offers no file interface or the file
// cannot be loaded. Paths past MAX_PATH are read where the platform allows;
// throws when no link object can be made or such a long path cannot be loaded.
std::string ReadShortcutTarget(const std::string& shortcutPath);

// The lines of a list file (CR LF, LF or CR line ends); throws
// "Cannot open file <path>" when it cannot be opened for reading.
std::vector<std::string> ReadListFile(const std::string& path);
// Writes the lines, each ended with CR LF, to a new file beside `path` and
// then puts it in the place of `path`: a failure at any step throws and
// leaves the file that was there as it was.
void WriteListFile(const std::string& path, const std::vector<std::string>& lines);

// Deletes the shortcut files of a folder; returns how many could not be deleted.
int DeleteShortcuts(const std::string& folder);

}  // namespace tessaly
