// Whole files written so that no reader ever sees half of one and no two
// writers share a file: a new file is created exclusively (its name must not
// exist yet) and a file replaced whole is written under a temporary name of
// its own folder and renamed into place. Paths go through ResolvePath.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace vb {

// The lines joined as a text file holds them: Windows-1252, CR LF after each.
std::string TextFileBytes(const std::vector<std::string>& lines);

// Creates a file that did not exist in `folder`, under the first name given
// by `name` (called again while the name is taken), writes `bytes` and
// returns its path. The file gets the permissions the umask leaves of 0666. Errors: 76 folder missing, 70 refused, 61 disk full,
// 75 other failures; nothing is left behind on an error.
std::string CreateNewFile(const std::string& folder, const std::function<std::string()>& name,
                          const std::string& bytes);

// Replaces (or creates) `path` with `bytes`: written to a new temporary file
// of the same folder, then renamed over it. A file that existed keeps its
// permissions; a new one gets those the umask leaves of 0666. Same errors; on an error the old
// file stays as it was and no temporary file is left.
void ReplaceWholeFile(const std::string& path, const std::string& bytes);

// The bytes of a file; 53 when it does not exist.
std::string ReadWholeFile(const std::string& path);

}  // namespace vb
