#pragma once
// Replacing a file as a whole, so that a reader never sees half a page.
#include <string>
#include <string_view>

namespace tessaline {

// Writes `bytes` to a new temporary file beside `path`, flushes it to disk and renames it over
// `path`. On any failure the temporary file is removed and a previous file at `path` is left as
// it was. The temporary name begins with a dot, so a run scanning the same folder passes it over.
// Unlike the workbench's writer, which keeps a symlinked document by writing to the file the link
// names, a link at `path` is replaced, never written through: any student may plant one in the
// registration folder, pointing at a file of whoever runs the generator next.
[[nodiscard]] bool ReplaceFile(const std::string& path, std::string_view bytes);

} // namespace tessaline
