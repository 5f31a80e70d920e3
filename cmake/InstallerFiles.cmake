# Writes the list of the files below STAGE for the setup script
# (installer/Kelpwise.nsi) into OUT: one line per file, its folder below STAGE
# ("" for STAGE itself) and its path, with Windows separators.
#   cmake -DSTAGE=<folder> -DOUT=<file.nsh> -P InstallerFiles.cmake
file(GLOB_RECURSE files RELATIVE ${STAGE} ${STAGE}/*)
list(SORT files)
set(lines "")
foreach(file ${files})
  get_filename_component(folder "${file}" DIRECTORY)
  string(REPLACE "/" "\\" folder "${folder}")
  string(REPLACE "/" "\\" file "${file}")
  string(APPEND lines "!insertmacro KW_PROGRAM_FILE \"${folder}\" \"${file}\"\n")
endforeach()
file(WRITE ${OUT} "${lines}")
