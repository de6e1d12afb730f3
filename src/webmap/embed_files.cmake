# Writes a C++ source that holds files as byte arrays, each one returned by a
# function of namespace kestrel that the given header declares:
#   cmake -DOUTPUT=FILE.cpp -DHEADER=dir/name.h -DFUNCTIONS=A,B -DFILES=a.js,b.css -P embed_files.cmake
# The bytes are the files' own, unchanged; the program decides what to do
# with their line ends.

string(REPLACE "," ";" functions "${FUNCTIONS}")
string(REPLACE "," ";" files "${FILES}")
list(LENGTH functions count)
list(LENGTH files fileCount)
if(NOT count EQUAL fileCount)
  message(FATAL_ERROR "embed_files: ${count} functions for ${fileCount} files")
endif()

set(text "// Made by src/webmap/embed_files.cmake from the files named below; do not edit.\n\n")
string(APPEND text "#include \"${HEADER}\"\n\nnamespace kestrel {\nnamespace {\n")
set(definitions "")
math(EXPR last "${count} - 1")
foreach(i RANGE ${last})
  list(GET functions ${i} function)
  list(GET files ${i} file)
  file(READ "${file}" hex HEX)
  if(hex STREQUAL "")
    message(FATAL_ERROR "embed_files: ${file} is empty or missing")
  endif()
  # Sixteen bytes to a line.
  string(REGEX REPLACE "(................................)"
         "\\1\n" hex "${hex}")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  get_filename_component(name "${file}" NAME)
  string(APPEND text "\n// ${name}\nconstexpr unsigned char k${function}[] = {\n${bytes}\n};\n")
  string(APPEND definitions
         "\nstd::string_view ${function}() {\n"
         "  return {reinterpret_cast<const char*>(k${function}), sizeof k${function}};\n}\n")
endforeach()
string(APPEND text "\n}  // namespace\n${definitions}\n}  // namespace kestrel\n")

file(WRITE "${OUTPUT}" "${text}")
