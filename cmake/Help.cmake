# help.chm: the HTML pages of help/ compiled with Free Pascal's chmcmd
# (Debian's fp-utils) and laid into the program folder. chmcmd writes the
# file into its working folder (the build tree), reading the pages from
# the project's folder.
find_program(KW_CHMCMD NAMES chmcmd-3.2.2 chmcmd REQUIRED)
file(GLOB_RECURSE KW_HELP_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/help/*)
set(KW_HELP_WORK ${CMAKE_BINARY_DIR}/help)
file(MAKE_DIRECTORY ${KW_HELP_WORK})
add_custom_command(OUTPUT ${KW_PROGRAM_DIR}/help.chm
  COMMAND ${CMAKE_COMMAND} -E make_directory ${KW_PROGRAM_DIR}
  COMMAND ${KW_CHMCMD} ${CMAKE_SOURCE_DIR}/help/Kelpwise.hhp
  COMMAND ${CMAKE_COMMAND} -E copy help.chm ${KW_PROGRAM_DIR}/help.chm
  WORKING_DIRECTORY ${KW_HELP_WORK}
  DEPENDS ${KW_HELP_SOURCES}
  COMMENT "Compiling help.chm")
add_custom_target(help_file ALL DEPENDS ${KW_PROGRAM_DIR}/help.chm)
