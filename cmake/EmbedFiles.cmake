# Writes a C++ source that holds the bytes of files, looked up by their path
# relative to BASE. Run with cmake -P:
#   -DBASE=<folder> -DOUTPUT=<file.cpp> -DFILES=<path;path;...>
set(entries "")
set(arrays "")
set(index 0)
foreach(path IN LISTS FILES)
  file(READ "${BASE}/${path}" hex HEX)
  string(LENGTH "${hex}" hexLength)
  math(EXPR size "${hexLength} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
  string(APPEND arrays "const char kFile${index}[] = {${bytes} 0};\n")
  string(APPEND entries "    {\"${path}\", std::string_view(kFile${index}, ${size})},\n")
  math(EXPR index "${index} + 1")
endforeach()
file(WRITE "${OUTPUT}.new" "// Generated from the files under res/; do not edit.
#include \"present/EmbeddedFiles.h\"

#include <utility>

namespace qxr {

namespace {

${arrays}
const std::pair<std::string_view, std::string_view> kFiles[] = {
${entries}};

}  // namespace

std::string_view EmbeddedFile(std::string_view path)
{
    for (const auto& [name, bytes] : kFiles) {
        if (name == path)
            return bytes;
    }
    return {};
}

}  // namespace qxr
")
# Unchanged bytes keep the old file, so that nothing is rebuilt for nothing.
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
